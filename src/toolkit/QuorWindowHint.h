#pragma once
// The busy window: a small layered window with an animation and a text,
// closed only by the close message that carries the agreed code.

#include <functional>
#include <memory>
#include <string>

#include "toolkit/HostWindow.h"
#include "toolkit/QuorText.h"

namespace quor {

class TQuorHintForm : public THostWindow {
 public:
  static constexpr LPARAM kCloseCode = 12345;
  explicit TQuorHintForm(HWND owner);

  bool ReadyShow = false;
  WPARAM ErrorCode = 0;
  LPARAM CloseCode = 0;
  // Asked before closing; closing goes ahead only when it answers true.
  std::function<bool()> OnCloseQuery;
  std::function<void()> OnClosed;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM w, LPARAM l) override;
};

class TQuorWindowHint {
 public:
  struct TProps {
    TFontSpec Font = {L"Tahoma", DEFAULT_CHARSET, 8, 0, 0x383838};
    TFontSpec PrecentFont = {L"Tahoma", DEFAULT_CHARSET, 8, 0, 0x008000};
    int Alpha = 255;
    int Min = 0, Max = 100, Precent = 0;
    bool ShowPrecent = false;
    int AlphaWidth = 4;
    TPngImage ImgForm, ImgAni;
    std::wstring RestoreHint = L"Preparing to restore the system...";
    std::wstring NewHint = L"Creating a system restore poing...";
    int FrameCount = 12;
    HCURSOR WorkCusor = nullptr;  // nullptr: the application-starting cursor
    UINT DrawInterval = 33;
  };
  explicit TQuorWindowHint(TProps props);
  ~TQuorWindowHint();

  void PrepareBusy(HWND owner);
  // The window to post WM_CLOSE (lParam 12345, result in wParam) to; nullptr before preparing.
  HWND BusyHandle() const;
  // Composes and shows the window; modal calls return when it closes.
  void ShowBusy(bool useNewHint, int left, bool modal, int top);
  void SetPrecent(int precent) { FProps.Precent = precent; }
  const TProps& Props() const { return FProps; }
  void SetFont(const TFontSpec& font) {
    FProps.Font = font;
    FFont.Assign(font);
  }
  // The text shown by the next ShowBusy that asks for the new hint.
  void SetNewHint(const std::wstring& text) { FProps.NewHint = text; }
  int CurrentFrame() const { return FFrame; }
  WPARAM ErrorCode() const { return FForm ? FForm->ErrorCode : 0; }
  // The percentage text shown for the current value.
  std::wstring PrecentText() const;

  std::function<void()> OnClose;

 private:
  void Compose(const std::wstring& text);
  void Tick();
  void Present();
  void Closed();

  TProps FProps;
  TQuorFont FFont, FPrecentFont;
  std::unique_ptr<TQuorHintForm> FForm;
  TQuorBitmap FComposed, FSurface;
  RECT FFrameRect{};
  int FFrame = 0;
  bool FClosing = false;
};

}  // namespace quor
