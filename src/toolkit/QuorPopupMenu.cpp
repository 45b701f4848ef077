// The popup menu's life: items, opening and closing, the windows of its levels, and the
// message-loop filters through which it gets the keyboard, the wheel and outside clicks.
#include "toolkit/QuorPopupMenu.h"

#include <windowsx.h>

#include <utility>

namespace quor {
namespace {

constexpr UINT_PTR kRepeatTimer = 1;

std::vector<TPngImage> CutStrip(const TPngImage& strip, int count) {
  std::vector<TPngImage> frames;
  if (strip.Empty() || count <= 0) return frames;
  for (int i = 0; i < count; ++i) {
    auto frame = CutFrameHor(strip, count, i);
    if (!frame) return {};  // a strip that does not divide shows nothing
    frames.push_back(std::move(*frame));
  }
  return frames;
}

RECT WorkAreaAt(POINT p) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  ::GetMonitorInfoW(::MonitorFromPoint(p, MONITOR_DEFAULTTONEAREST), &info);
  return info.rcWork;
}

bool KeyHeld(int key) { return ::GetKeyState(key) < 0; }

}  // namespace

TQuorPopupMenu::TQuorPopupMenu(TProps props)
    : FProps(std::move(props)),
      FFontNormal(FProps.FontNormal),
      FFontOver(FProps.FontOver),
      FFontDown(FProps.FontDown),
      FFontDisable(FProps.FontDisable),
      FFontSelect(FProps.FontSelect),
      FMeasureDc(::CreateCompatibleDC(nullptr)) {
  CutStrips();
  SetMetrics();
  FModel.Measure.TextSize = [this](const std::wstring& text, TMenuFontState state) {
    return TextSize(text, state);
  };
}

TQuorPopupMenu::~TQuorPopupMenu() = default;

void TQuorPopupMenu::CutStrips() {
  FStrips.Item = CutStrip(FProps.ImgItem, FProps.ItemStateCount);
  FStrips.SubArrow = CutStrip(FProps.ImgSubArrow, FProps.SubArrowStateCount);
  FStrips.Check = CutStrip(FProps.ImgCheck, 2);
  FStrips.Radio = CutStrip(FProps.ImgRadio, 2);
  FStrips.UpDown = CutStrip(FProps.ImgBtnUpDown, 6);
  FProps.ImgLine.EnsureAlpha();
  const TQuorPadding& s = FProps.ImgSplit;
  FStrips.Back.reset();
  if (!FProps.ImgBack.Empty() && s.HorizontalOrdered() && s.VerticalOrdered())
    FStrips.Back =
        CutNineParts(FProps.ImgBack, {s.Left(), s.Top()}, {s.Right(), s.Bottom()}, 255, clNone);
}

void TQuorPopupMenu::SetMetrics() {
  TQuorMenuMetrics& m = FModel.Metrics;
  m.AlphaWidth = FProps.AlphaWidth;
  m.MenuBarWidth = FProps.MenuBarWidth;
  m.ItemHeight = FProps.ItemHeight;
  m.MinWidth = FProps.MinWidth;
  m.HaveBack = FStrips.Back.has_value();
  m.CheckWidth = FStrips.Check.empty() ? 0 : FStrips.Check[0].Width();
  const TQuorImageList* images = FProps.ImageList;
  m.HaveImages = images != nullptr;
  m.ImageWidth = images && images->Count() > 0 ? images->Item(0)->Width() : 0;
  m.SubArrowWidth = FStrips.SubArrow.empty() ? 0 : FStrips.SubArrow[0].Width();
  m.LineHeight = FProps.ImgLine.Height();
  m.HaveBar = FProps.HaveBar;
  m.BarWidth = FProps.ImgBar.Width();
  m.ScrollButton = FStrips.UpDown.empty()
                       ? SIZE{}
                       : SIZE{FStrips.UpDown[0].Width(), FStrips.UpDown[0].Height()};
}

const TQuorFont& TQuorPopupMenu::FontOf(TMenuFontState state) const {
  switch (state) {
    case TMenuFontState::Over: return FFontOver;
    case TMenuFontState::Down: return FFontDown;
    case TMenuFontState::Disable: return FFontDisable;
    case TMenuFontState::Select: return FFontSelect;
    case TMenuFontState::Normal: break;
  }
  return FFontNormal;
}

SIZE TQuorPopupMenu::TextSize(const std::wstring& text, TMenuFontState state) const {
  if (!FMeasureDc) return {0, 0};
  SelectGuard guard(FMeasureDc.Get(), FontOf(state).Handle());
  // Measured as drawn: the access mark takes no room.
  RECT box{0, 0, 0, 0};
  ::DrawTextW(FMeasureDc.Get(), text.c_str(), int(text.size()), &box, DT_CALCRECT | DT_SINGLELINE);
  return {box.right - box.left, box.bottom - box.top};
}

TQuorMenuItem& TQuorPopupMenu::AddMenuItem(std::unique_ptr<TQuorMenuItem> item) {
  if (!FShortCutInstalled) {
    FShortCutFilter = TMessageLoop::AddFilter([this](MSG& msg) { return ShortCutFilter(msg); });
    FShortCutInstalled = true;
  }
  return FModel.AddMenuItem(std::move(item));
}

void TQuorPopupMenu::SetFonts(const TFontSpec& normal, const TFontSpec& over,
                              const TFontSpec& down, const TFontSpec& disable,
                              const TFontSpec& select) {
  FProps.FontNormal = normal;
  FProps.FontOver = over;
  FProps.FontDown = down;
  FProps.FontDisable = disable;
  FProps.FontSelect = select;
  FFontNormal.Assign(normal);
  FFontOver.Assign(over);
  FFontDown.Assign(down);
  FFontDisable.Assign(disable);
  FFontSelect.Assign(select);
  SetMetrics();
}

void TQuorPopupMenu::ClearItems() {
  Apply(FModel.ClearItems());
  FShortCutFilter = {};
  FShortCutInstalled = false;
}

void TQuorPopupMenu::SetOwner(HWND owner) {
  if (owner == FProps.Owner) return;
  CloseMenu();
  FProps.Owner = owner;
  for (auto& form : FForms) form.reset();  // the owner of a window is fixed when it is made
}

TQuorMenuForm* TQuorPopupMenu::LevelForm(int level) const {
  if (level < 0 || level >= FModel.LevelCount()) return nullptr;
  return FForms[size_t(level)].get();
}

void TQuorPopupMenu::Popup(int x, int y) {
  bool canShow = true;
  if (OnBeforPopup) OnBeforPopup(*this, canShow);
  if (!canShow) return;
  if (OnPopup) OnPopup(*this);
  FModel.WorkArea = WorkAreaAt({x, y});
  Apply(FModel.Popup({x, y}));
}

void TQuorPopupMenu::CloseMenu() { Apply(FModel.CloseMenu()); }

void TQuorPopupMenu::Apply(const TMenuResult& r) {
  if (r.CloseFrom >= 0)
    for (size_t k = size_t(r.CloseFrom); k < FForms.size(); ++k)
      if (FForms[k]) FForms[k]->Hide();
  if (r.StopRepeat) StopRepeat();
  if (r.CloseMenu) Closed();
  if (r.OpenLevel >= 0) OpenLevelWindow(r.OpenLevel);
  for (int level = 0; level < FModel.LevelCount(); ++level) {
    if (!r.Redraws(level) || level == r.OpenLevel || !FForms[size_t(level)]) continue;
    DrawLevel(level);
    FForms[size_t(level)]->Present(FProps.Alpha);
  }
  if (r.StartRepeat) StartRepeat();
  if (r.Fire) FireClick(*r.Fire);  // last: the handler may rebuild the menu
}

void TQuorPopupMenu::OpenLevelWindow(int level) {
  auto& form = FForms[size_t(level)];
  if (!form) {
    form = std::make_unique<TQuorMenuForm>(FProps.Owner, level);
    form->Create();
    form->OnMouseMove = [this, level](POINT p) { Apply(FModel.MouseMove(level, p)); };
    form->OnMouseLeave = [this, level] { Apply(FModel.MouseLeave(level)); };
    form->OnMouseDown = [this, level](POINT p) { Apply(FModel.MouseDown(level, p)); };
    form->OnMouseUp = [this, level](POINT p) { Apply(FModel.MouseUp(level, p)); };
    form->OnWheel = [this](int delta) { Apply(FModel.Wheel(delta)); };
    form->OnDeactivateApp = [this] { CloseMenu(); };
    form->OnCloseRequest = [this] { CloseMenu(); };
  }
  if (level == 0) Opened();
  DrawLevel(level);
  const TMenuLevel& lv = FModel.Level(level);
  form->ShowAt(lv.Left, lv.Top, FProps.Alpha);
}

void TQuorPopupMenu::Opened() {
  FOpenFilter = TMessageLoop::AddFilter([this](MSG& msg) { return OpenFilter(msg); });
}

void TQuorPopupMenu::Closed() {
  FOpenFilter = {};
  StopRepeat();
  if (OnMenuClose) OnMenuClose(*this);
}

void TQuorPopupMenu::StartRepeat() {
  TQuorMenuForm* root = FForms[0].get();
  if (!root) return;
  FRepeating = true;
  FFirstTick = true;
  root->SetTimer(kRepeatTimer, UINT(KeyRepeatDelay()), [this] {
    if (FFirstTick) {
      FFirstTick = false;
      FForms[0]->SetTimer(kRepeatTimer, UINT(KeyRepeatInterval()), [this] {
        Apply(FModel.RepeatTick());
      });
    }
    Apply(FModel.RepeatTick());
  });
}

void TQuorPopupMenu::StopRepeat() {
  if (!FRepeating) return;
  FRepeating = false;
  if (FForms[0]) FForms[0]->KillTimer(kRepeatTimer);
}

bool TQuorPopupMenu::IsMenuWindow(HWND hwnd) const {
  if (!hwnd) return false;
  HWND root = ::GetAncestor(hwnd, GA_ROOT);
  for (const auto& form : FForms)
    if (form && form->Handle() && (form->Handle() == hwnd || form->Handle() == root)) return true;
  return false;
}

bool TQuorPopupMenu::OpenFilter(MSG& msg) {
  if (!FModel.Showing()) return false;
  switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      const UINT key = UINT(msg.wParam);
      const bool shift = KeyHeld(VK_SHIFT), ctrl = KeyHeld(VK_CONTROL);
      const bool alt = KeyHeld(VK_MENU) || msg.message == WM_SYSKEYDOWN;
      TMenuResult r = FModel.KeyDown(key, shift, ctrl, alt);
      if (!r.Handled) r = FModel.ShortCut(MakeShortCut(uint8_t(key), shift, ctrl, alt));
      const bool handled = r.Handled;
      Apply(r);
      return handled;
    }
    case WM_CHAR:
      // Letters and digits came as keys; other access characters come typed.
      if (msg.wParam < 32) return false;
      Apply(FModel.AccessKey(wchar_t(msg.wParam)));
      return true;
    case WM_MOUSEWHEEL:
      // The wheel goes to the focus window, never to the menu: take it on the way.
      Apply(FModel.Wheel(GET_WHEEL_DELTA_WPARAM(msg.wParam)));
      return true;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
      // A press anywhere else closes the menu and then goes on to its window.
      if (!IsMenuWindow(msg.hwnd)) CloseMenu();
      return false;
  }
  return false;
}

bool TQuorPopupMenu::ShortCutFilter(MSG& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
  if (FModel.Showing()) return false;  // the open menu's filter has the keyboard
  const bool alt = KeyHeld(VK_MENU) || msg.message == WM_SYSKEYDOWN;
  const TMenuResult r = FModel.ShortCut(
      MakeShortCut(uint8_t(msg.wParam), KeyHeld(VK_SHIFT), KeyHeld(VK_CONTROL), alt));
  if (!r.Handled) return false;
  Apply(r);
  return true;  // like an accelerator, a key that fired an item goes no further
}

}  // namespace quor
