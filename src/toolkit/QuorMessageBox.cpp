#include "toolkit/QuorMessageBox.h"

#include <algorithm>
#include <utility>

#include "toolkit/QuorUtils.h"

namespace quor {
namespace {

std::vector<TPngImage> Frames(const TPngImage& strip, int count) {
  std::vector<TPngImage> frames;
  for (int i = 0; i < count && !strip.Empty(); ++i) {
    auto frame = CutFrameHor(strip, count, i);
    if (!frame) return {};
    frames.push_back(std::move(*frame));
  }
  return frames;
}

SIZE SizeOf(const TPngImage& image) { return {image.Width(), image.Height()}; }
SIZE FirstSize(const std::vector<TPngImage>& frames) {
  return frames.empty() ? SIZE{} : SizeOf(frames.front());
}

RECT WorkAreaNear(HWND window) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  ::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &info);
  return info.rcWork;
}

// A copy of a button frame with its caption centred on it.
TPngImage Captioned(const TPngImage& frame, const std::wstring& caption, const TQuorFont& font) {
  TQuorBitmap canvas(frame.Width(), frame.Height());
  frame.Draw(canvas, 0, 0);
  const RECT all{0, 0, frame.Width(), frame.Height()};
  DrawSurfaceText(canvas, all, caption, font, kTextCenter);
  auto image = CopyRectToImage(canvas, all);
  return image ? std::move(*image) : frame;
}

}  // namespace

TQuorMessageBox::TQuorMessageBox(TProps props)
    : FProps(std::move(props)),
      FFontTitle(FProps.FontTitle),
      FFontMsg(FProps.FontMsg),
      FFontBtn(FProps.FontBtn),
      FCloseFrames(Frames(FProps.ImgClose, 3)),
      FBtnFrames(Frames(FProps.ImgBtn, 4)),
      FIcons(Frames(FProps.ImgMsg, 4)),
      FMsgRowCount(FProps.MsgRowCount) {}

TQuorMessageBox::~TQuorMessageBox() = default;

void TQuorMessageBox::SetFonts(const TFontSpec& title, const TFontSpec& message,
                               const TFontSpec& button) {
  FProps.FontTitle = title;
  FProps.FontMsg = message;
  FProps.FontBtn = button;
  FFontTitle.Assign(title);
  FFontMsg.Assign(message);
  FFontBtn.Assign(button);
}

void TQuorMessageBox::SetButtonCaptions(std::wstring yes, std::wstring no, std::wstring ok) {
  FProps.BtnCaptionYes = std::move(yes);
  FProps.BtnCaptionNo = std::move(no);
  FProps.BtnCaptionOk = std::move(ok);
}

int TQuorMessageBox::ShowMsg(const std::wstring& title, const std::wstring& message,
                             bool centreOnScreen, HWND ownerForm, int buttonSet, int kind,
                             bool defaultNo) {
  FButtonSet = buttonSet == kMsgButtonsYesNo ? kMsgButtonsYesNo : kMsgButtonsOk;
  Compose(title, message, kind);
  BuildButtons();
  FButtons.Reset(FLayout, FButtonSet, defaultNo);
  EnsureForm();
  FForm->SetShownText(title + L"\r\n" + message);
  const HWND owner = ownerForm ? ownerForm : FProps.Owner;
  FForm->SetOwner(owner);
  Place(centreOnScreen, owner);
  Present();
  FResult = kMsgResultOk;
  const int answer = FForm->ShowModal();
  // A loop ended by WM_QUIT or a destroyed window leaves no answer: that is a close.
  FResult = answer == kMsgResultYes || answer == kMsgResultNo ? answer : kMsgResultOk;
  return FResult;
}

TPngImage TQuorMessageBox::SkinAtSize() const {
  const TPngImage& form = FProps.ImgForm;
  if (FLayout.NineSlice) {
    const TQuorPadding& s = FProps.FormSplit;
    if (auto parts = CutNineParts(form, {s.Left(), s.Top()}, {s.Right(), s.Bottom()}, 255,
                                  FProps.SkinColor))
      if (auto built = BuildNinePartImage(FLayout.Size.cx, FLayout.Size.cy, *parts))
        return std::move(*built);
  }
  return FProps.SkinColor == clNone ? form : ColorizeImage(form, FProps.SkinColor, 255);
}

void TQuorMessageBox::Compose(const std::wstring& title, const std::wstring& message, int kind) {
  TMessageLayoutInput in;
  in.Form = SizeOf(FProps.ImgForm);
  in.FormSplit = FProps.FormSplit;
  in.CloseFrame = FirstSize(FCloseFrames);
  in.Logo = SizeOf(FProps.ImgLogo);
  in.BtnFrame = FirstSize(FBtnFrames);
  in.MsgStrip = SizeOf(FProps.ImgMsg);
  in.AlphaWidth = FProps.AlphaWidth;
  in.CaptionHeight = FProps.CaptionHeight;
  in.BtnCloseLeft = FProps.BtnCloseLeft;
  in.MsgRowCount = FMsgRowCount;
  for (size_t from = 0;;) {
    const size_t end = message.find(L'\n', from);
    const SIZE line = MeasureText(
        message.substr(from, end == std::wstring::npos ? std::wstring::npos : end - from),
        FFontMsg);
    in.Message = {std::max(in.Message.cx, line.cx), std::max(in.Message.cy, line.cy)};
    if (end == std::wstring::npos) break;
    ++in.MessageLines;
    from = end + 1;
  }
  in.Title = MeasureText(title, FFontTitle);
  in.ButtonSet = FButtonSet;
  TMessageLayout layout = LayoutMessageBox(in);
  if (!layout.Composed) return;  // the previous image stays
  FLayout = layout;
  // Rows made for the lines of one message are not kept for the next.
  if (in.MessageLines == 1) FMsgRowCount = FLayout.MsgRowCount;

  FImage.SetSize(FLayout.Size.cx, FLayout.Size.cy);
  SkinAtSize().Draw(FImage, 0, 0);
  if (!FProps.ImgLogo.Empty()) FProps.ImgLogo.Draw(FImage, FLayout.Logo.left, FLayout.Logo.top);
  DrawSurfaceText(FImage, FLayout.Title, title, FFontTitle, kTextLeft);
  if (kind >= 0 && kind < int(FIcons.size()))
    FIcons[size_t(kind)].Draw(FImage, FLayout.Icon.left, FLayout.Icon.top);
  else if (kind == kMsgKindCustom && !FProps.ImgCustom.Empty())
    FProps.ImgCustom.Draw(FImage, FLayout.Icon.left, FLayout.Icon.top);
  DrawSurfaceText(FImage, FLayout.Message, message, FFontMsg, kTextWrap | DT_EDITCONTROL);
}

void TQuorMessageBox::BuildButtons() {
  const bool yesNo = FButtonSet == kMsgButtonsYesNo;
  const std::wstring* captions[2] = {yesNo ? &FProps.BtnCaptionNo : &FProps.BtnCaptionOk,
                                     &FProps.BtnCaptionYes};
  for (size_t b = 0; b < 2; ++b) {
    FButtonImages[b].clear();
    if (b == 1 && !yesNo) continue;
    for (const TPngImage& frame : FBtnFrames)
      FButtonImages[b].push_back(Captioned(frame, *captions[b], FFontBtn));
  }
}

void TQuorMessageBox::EnsureForm() {
  if (FForm) return;
  auto form = std::make_unique<TQuorMessageForm>(FProps.Owner);
  form->Create();
  form->OnMouseMove = [this](POINT p, bool leftDown) { Act(FButtons.MouseMove(p, leftDown)); };
  form->OnMouseDown = [this](POINT p) {
    Act(FButtons.MouseDown(p));
    // Held on a button, the release is seen even outside the window.
    if (FButtons.ClosePressed || FButtons.Btn1Pressed || FButtons.Btn2Pressed)
      ::SetCapture(FForm->Handle());
  };
  form->OnMouseUp = [this](POINT p) {
    if (::GetCapture() == FForm->Handle()) ::ReleaseCapture();
    Act(FButtons.MouseUp(p));
  };
  form->OnKeyDown = [this](UINT key) { Act(FButtons.KeyDown(key)); };
  form->OnCloseRequest = [this] { Act(FButtons.KeyDown(VK_ESCAPE)); };
  FForm = std::move(form);
}

void TQuorMessageBox::Place(bool centreOnScreen, HWND owner) {
  const SIZE size{FImage.Width(), FImage.Height()};
  POINT at{};
  if (!centreOnScreen && owner) {
    RECT r{};
    ::GetWindowRect(owner, &r);
    at = CentreOver(size, r);
  } else {
    at = CentreOnWorkArea(size, WorkAreaNear(owner));
  }
  ::SetWindowPos(FForm->Handle(), nullptr, at.x, at.y, size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void TQuorMessageBox::Present() {
  if (!FForm || FImage.Empty()) return;
  FSurface.CopyFrom(FImage);
  const int close = FButtons.CloseFrame();
  if (close < int(FCloseFrames.size()))
    FCloseFrames[size_t(close)].Draw(FSurface, FLayout.Close.left, FLayout.Close.top);
  const RECT* rects[2] = {&FLayout.Button1, &FLayout.Button2};
  for (int b = 0; b < 2; ++b) {
    const auto& images = FButtonImages[size_t(b)];
    const int frame = FButtons.ButtonFrame(b + 1);
    if (frame < int(images.size())) images[size_t(frame)].Draw(FSurface, rects[b]->left, rects[b]->top);
  }
  PresentLayered(FForm->Handle(), FSurface, FProps.Alpha);
}

void TQuorMessageBox::Act(const TMessageAction& action) {
  if (action.Drag) {
    // Dragged from anywhere outside the buttons, as by a caption.
    ::ReleaseCapture();
    ::SendMessageW(FForm->Handle(), WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
    return;
  }
  if (action.Close) {
    FResult = FButtons.Result();
    Present();
    FForm->SetModalResult(FResult);
    return;
  }
  if (action.Redraw) Present();
}

}  // namespace quor
