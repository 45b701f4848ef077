#pragma once
// Size and rectangles of the skinned message box, its buttons' states and answers, and where
// it is centred. Image and text sizes come in, so the rules can be tested without a window.

#include <windows.h>

#include "toolkit/QuorType.h"

namespace quor {

inline constexpr int kMsgButtonsYesNo = 3;
inline constexpr int kMsgButtonsOk = 4;
inline constexpr int kMsgResultOk = 1;  // also the close button and Escape
inline constexpr int kMsgResultYes = 6;
inline constexpr int kMsgResultNo = 7;
inline constexpr int kMsgKindCustom = 4;  // kinds 0..3 are frames of the icon strip

struct TMessageLayoutInput {
  SIZE Form{};  // ImgForm
  TQuorPadding FormSplit;
  SIZE CloseFrame{};  // one frame of ImgClose
  SIZE Logo{};        // ImgLogo; empty: no logo
  SIZE BtnFrame{};    // one frame of ImgBtn
  SIZE MsgStrip{};    // the whole ImgMsg strip of four icons; empty: no icon
  int AlphaWidth = 8;
  int CaptionHeight = 30;
  int BtnCloseLeft = 4;
  int MsgRowCount = 3;
  SIZE Message{};  // the message measured on one line with FontMsg
  // Lines of its own (line breaks) in the message; with more than one,
  // Message is its widest line and the box shows every line on a row.
  int MessageLines = 1;
  SIZE Title{};    // the title measured with FontTitle
  int ButtonSet = kMsgButtonsOk;
};

struct TMessageLayout {
  bool Composed = false;   // false without ImgForm, ImgClose or ImgBtn: nothing is laid out
  SIZE Size{};             // of the window image
  bool NineSlice = false;  // ImgForm cut at FormSplit and rebuilt at Size; else used as it is
  int MsgRowCount = 3;     // 3 once the box was enlarged; the component keeps it
  RECT Close{}, TitleBar{}, Logo{}, Title{}, Icon{}, Message{};
  RECT Button1{};  // No in the Yes/No set, OK in the OK set
  RECT Button2{};  // Yes; empty in the OK set
};

TMessageLayout LayoutMessageBox(const TMessageLayoutInput& in);

// Top-left corner of a box centred on the work area, or over an owner window's rectangle.
POINT CentreOnWorkArea(SIZE size, const RECT& workArea);
POINT CentreOver(SIZE size, const RECT& owner);

// What the message window does after an input.
struct TMessageAction {
  bool Redraw = false;  // present the window again
  bool Drag = false;    // release the capture and start moving the window
  bool Close = false;   // end the modal loop; Result holds the answer
};

// The close button and the one or two push buttons: hot, pressed and focused flags, and the
// answer. Button 1 is No (or OK), button 2 is Yes.
class TQuorMessageButtons {
 public:
  // A new question: flags cleared, the first button focused (Yes, or OK; No when
  // `defaultNo` in the Yes/No set), answer 1 until a button says otherwise.
  void Reset(const TMessageLayout& layout, int buttonSet, bool defaultNo = false);

  // leftDown: the left button is held, so a move outside the buttons drags the window.
  TMessageAction MouseMove(POINT p, bool leftDown);
  TMessageAction MouseDown(POINT p);
  TMessageAction MouseUp(POINT p);
  TMessageAction KeyDown(UINT key);

  int Result() const { return FResult; }
  // Frame of ImgBtn for button 1 or 2: pressed 2, hot 1, focused 3, else 0.
  int ButtonFrame(int button) const;
  // Frame of ImgClose: pressed 2, hot 1, else 0.
  int CloseFrame() const;

  bool CloseHot = false, ClosePressed = false;
  bool Btn1Hot = false, Btn1Pressed = false, Btn1Focused = false;
  bool Btn2Hot = false, Btn2Pressed = false, Btn2Focused = false;

 private:
  bool UpdateHot(POINT p);
  int Button1Result() const { return FButtonSet == kMsgButtonsOk ? kMsgResultOk : kMsgResultNo; }
  TMessageAction Finish(int result);

  RECT FClose{}, FButton1{}, FButton2{};
  int FButtonSet = kMsgButtonsOk;
  int FResult = kMsgResultOk;
};

}  // namespace quor
