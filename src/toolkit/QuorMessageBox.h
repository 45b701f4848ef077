#pragma once
// The skinned message box: composes its own image (title bar, icon by kind, wrapped message,
// one OK or a Yes and a No button) and shows it modally in its own layered TQuorMessageForm.
// Sizes and answers come from QuorMessageLayout.

#include <windows.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/QuorMessageForm.h"
#include "toolkit/QuorMessageLayout.h"
#include "toolkit/QuorText.h"

namespace quor {

// Icons by message kind: frames of ImgMsg, and ImgCustom.
inline constexpr int kMsgWarning = 0, kMsgError = 1, kMsgInformation = 2, kMsgConfirmation = 3;

class TQuorMessageBox {
 public:
  struct TProps {
    HWND Owner = nullptr;  // the box centres over it when ShowMsg names no form
    int Alpha = 255;
    int AlphaWidth = 8;
    int MsgRowCount = 3;
    int CaptionHeight = 30;
    int BtnCloseLeft = 4;
    TFontSpec FontTitle, FontMsg, FontBtn;
    TPngImage ImgForm;
    TQuorPadding FormSplit;
    TPngImage ImgShadow;  // kept, not drawn
    TPngImage ImgClose;   // frames: normal, hot, pressed
    TPngImage ImgLogo;
    TPngImage ImgBtn;  // frames: normal, hot, pressed, focused
    TPngImage ImgMsg;  // frames by kind: warning, error, information, confirmation
    TPngImage ImgCustom;
    std::wstring BtnCloseHint = L"Close";
    std::wstring BtnCaptionYes = L"Yes", BtnCaptionNo = L"No", BtnCaptionOk = L"Ok";
    TColor SkinColor = clNone;
  };

  explicit TQuorMessageBox(TProps props);
  ~TQuorMessageBox();
  TQuorMessageBox(const TQuorMessageBox&) = delete;
  TQuorMessageBox& operator=(const TQuorMessageBox&) = delete;

  // Shows the box modally and answers kMsgResultOk (also Escape and the close button),
  // kMsgResultYes or kMsgResultNo. `ownerForm` may be nullptr (the component's owner).
  // With `defaultNo`, a Yes/No box starts with No focused, so that Enter answers No.
  // Throws std::system_error when the window cannot be made.
  int ShowMsg(const std::wstring& title, const std::wstring& message, bool centreOnScreen,
              HWND ownerForm, int buttonSet, int kind, bool defaultNo = false);
  int Result() const { return FResult; }

  void SetButtonCaptions(std::wstring yes, std::wstring no, std::wstring ok);
  // Fonts of the title, the message and the buttons, for the next ShowMsg.
  void SetFonts(const TFontSpec& title, const TFontSpec& message, const TFontSpec& button);
  const TProps& Props() const { return FProps; }
  int MsgRowCount() const { return FMsgRowCount; }
  // The window, once the first ShowMsg made it.
  TQuorMessageForm* Form() const { return FForm.get(); }
  const TMessageLayout& Layout() const { return FLayout; }
  const TQuorMessageButtons& Buttons() const { return FButtons; }
  // The composed image, and the copy with the buttons in their states that was shown last.
  const TQuorBitmap& Image() const { return FImage; }
  const TQuorBitmap& Surface() const { return FSurface; }

 private:
  void Compose(const std::wstring& title, const std::wstring& message, int kind);
  TPngImage SkinAtSize() const;
  void BuildButtons();
  void EnsureForm();
  void Place(bool centreOnScreen, HWND owner);
  void Present();
  void Act(const TMessageAction& action);

  TProps FProps;
  TQuorFont FFontTitle, FFontMsg, FFontBtn;
  std::vector<TPngImage> FCloseFrames, FBtnFrames, FIcons;
  std::array<std::vector<TPngImage>, 2> FButtonImages;  // per button, per frame, caption drawn in
  TMessageLayout FLayout;
  TQuorMessageButtons FButtons;
  TQuorBitmap FImage, FSurface;
  int FMsgRowCount;
  int FButtonSet = kMsgButtonsOk;
  int FResult = kMsgResultOk;
  std::unique_ptr<TQuorMessageForm> FForm;
};

}  // namespace quor
