// The review's window: its controls and where they go as it is resized, its
// translation, the size it keeps, and the ways out of it.
#include "ui/AfterDel.h"

#include <algorithm>

#include "app/BackupSettings.h"
#include "app/LangText.h"
#include "app/WindowSize.h"
#include "toolkit/QuorMessageLoop.h"
#include "toolkit/QuorSkin.h"
#include "toolkit/QuorSkinProps.h"
#include "toolkit/QuorText.h"
#include "toolkit/QuorUtils.h"
#include "ui/Anchors.h"

namespace quor {
namespace {

constexpr TColor kText = RGB(56, 56, 56);
constexpr TColor kCaption = 0x453A33;
constexpr TColor kMuted = 0xA0938A;
const TQuorPadding kButtonSplit{6, 6, 74, 22};
const TQuorPadding kDialogSplit{20, 45, 80, 80};
constexpr int kButtonWidth = 90, kButtonPadding = 24, kButtonGap = 4, kMargin = 10;

TFontSpec Font(TColor color, uint8_t style = 0) {
  return {L"Tahoma", DEFAULT_CHARSET, 8, style, color};
}

RECT WorkAreaNear(HWND window) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &info))
    return info.rcWork;
  RECT area{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  return area;
}

// The size the user left the dialog at (else the default), centred on the
// owner and wholly on the owner's screen.
THostParams AfterDelHostParams(HWND owner, const std::wstring& configFile) {
  const RECT work = WorkAreaNear(owner);
  RECT around = work;
  if (owner) ::GetWindowRect(owner, &around);
  const auto kept = configFile.empty() ? std::optional<SIZE>()
                                       : ReadWindowSize(configFile, TFrmAfterDel::kSizeSection);
  const RECT placed =
      PlaceWindow(kept.value_or(SIZE{TFrmAfterDel::kDefaultWidth, TFrmAfterDel::kDefaultHeight}),
                  {TFrmAfterDel::kClientWidth, TFrmAfterDel::kClientHeight}, around, work);
  return {.Caption = L"FrmAfterDel",
          .Left = placed.left,
          .Top = placed.top,
          .Width = placed.right - placed.left,
          .Height = placed.bottom - placed.top,
          .Owner = owner};
}

TQuorDirectStdButton::TProps ButtonProps(const wchar_t* name, TBounds bounds, int tabOrder,
                                         const wchar_t* caption) {
  return {.Control = {.Name = name, .Bounds = bounds, .TabStop = true, .TabOrder = tabOrder},
          .ImgBtn = SkinImage(L"std_button"),
          .BtnSplit = kButtonSplit,
          .Caption = caption,
          .FontNormal = Font(kText),
          .FontOver = Font(kText),
          .FontDown = Font(kText),
          .FontDisable = Font(kMuted),
          .FontFocus = Font(kText)};
}

std::wstring Translation(const std::wstring& key, const std::wstring& fallback) {
  return GetLangText(L"Translation", key, fallback);
}

}  // namespace

std::wstring TFrmAfterDel::DefaultConfigFile() {
  wchar_t path[MAX_PATH] = {};
  const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  const std::wstring exe(path, n);
  return ConfigFileFor(exe.substr(0, exe.find_last_of(L'\\') + 1));
}

TFrmAfterDel::TFrmAfterDel(HWND owner, std::wstring configFile)
    : THostWindow(AfterDelHostParams(owner, configFile)), FConfigFile(std::move(configFile)) {
  il1 = std::make_unique<TQuorImageList>(
      TQuorImageList::TProps{.Image = SkinImage(L"group_icons"), .ImgHeight = 24, .ImgWidth = 24});
  il2 = std::make_unique<TQuorImageList>(TQuorImageList::TProps{.Image = SkinImage(L"item_icons")});
  FGroupBack = SkinImage(L"group_back");
  pmrow = std::make_unique<TQuorPopupMenu>(SkinnedMenuProps(nullptr));
  TQuorFormProps frame = SkinnedFrameProps(L"FrmAfterDel");
  frame.ImgForm = SkinImage(L"form_dialog");
  frame.FormSplit = kDialogSplit;
  frame.CaptionFont = Font(kCaption, fsBold);
  frame.FormBtns = {};
  frame.SupportResize = true;
  FForm = std::make_unique<TQuorDirectForm>(*this, frame);
  FForm->OnQuorFormResize = [this](TQuorDirectForm&) { LayoutControls(); };
  DefineControls();
  FForm->Load();
  pmrow->SetOwner(Handle());
  BuildRowMenu();
  LayoutControls();
  FCancelled = true;
  BuildGroups();
}

// The sizes' thread ends, and nothing it handed over runs, before the rows go.
TFrmAfterDel::~TFrmAfterDel() {
  FSizer = {};
  FUiCalls.reset();
  FForm.reset();
}

void TFrmAfterDel::DefineControls() {
  lblinfo = &FForm->Add<TQuorDirectLabel>(
      {.Control = {.Name = L"lblinfo", .Bounds = {24, 36, 449, 23}},
       .Font = FFont,
       .Caption = L"Review the result and click \"Remove\" button to finish the uninstallation."});
  Anchor(*lblinfo, akLeft | akTop | akRight);
  DefineTree();
  DefineButtons();
}

void TFrmAfterDel::DefineButtons() {
  TQuorDirectForm& f = *FForm;
  btnall =
      &f.Add<TQuorDirectStdButton>(ButtonProps(L"btnall", {10, 342, 90, 25}, 3, L"Select All"));
  btnnone =
      &f.Add<TQuorDirectStdButton>(ButtonProps(L"btnnone", {104, 342, 90, 25}, 4, L"Select None"));
  btnremove =
      &f.Add<TQuorDirectStdButton>(ButtonProps(L"btnremove", {297, 342, 90, 25}, 0, L"Remove"));
  btncancel = &f.Add<TQuorDirectStdButton>(ButtonProps(L"btncancel", {391, 342, 90, 25}, 1, L"Cancel"));
  for (TQuorDirectStdButton* b : {btnall, btnnone}) Anchor(*b, akLeft | akBottom);
  for (TQuorDirectStdButton* b : {btnremove, btncancel}) Anchor(*b, akRight | akBottom);
  btnall->OnClick = [this](TQuorControlBase&) { TickAll(true); };
  btnnone->OnClick = [this](TQuorControlBase&) { TickAll(false); };
  btnremove->OnClick = [this](TQuorControlBase& s) { btnremoveClick(s); };
  btncancel->OnClick = [this](TQuorControlBase& s) { btncancelClick(s); };
}

void TFrmAfterDel::Anchor(TQuorControlBase& control, uint8_t anchors) {
  FAnchored.push_back({&control, control.Bounds(), anchors});
}

void TFrmAfterDel::LayoutControls() {
  const SIZE client{FForm->Surface().Width(), FForm->Surface().Height()};
  if (client.cx <= 0 || client.cy <= 0) return;
  TQuorDirectForm::TUpdateGuard update(*FForm);
  for (const TAnchored& a : FAnchored)
    a.Control->SetBounds(
        AnchoredBounds(a.Design, a.Anchors, {kClientWidth, kClientHeight}, client));
}

int TFrmAfterDel::ShowModal() {
  FCancelled = true;
  FormShow();
  const TMessageLoop::TFilterToken keys =
      TMessageLoop::AddFilter([this](MSG& msg) { return KeyFilter(msg); });
  SetTimer(1, 1, [this] {
    KillTimer(1);
    lvlist->SetFocus();
  });
  const int result = THostWindow::ShowModal();
  // A folder being measured must not be held open while the removal that
  // may follow deletes it.
  FSizer = {};
  KeepSize();
  return result;
}

void TFrmAfterDel::KeepSize() {
  if (FConfigFile.empty() || !Handle()) return;
  const RECT r = WindowRect();
  WriteWindowSize(FConfigFile, kSizeSection, {r.right - r.left, r.bottom - r.top});
}

void TFrmAfterDel::FormShow() {
  TranslateAfterDel();
  const RECT r = WindowRect();
  if (r.right - r.left < FMinSize.cx || r.bottom - r.top < FMinSize.cy)
    ::SetWindowPos(Handle(), nullptr, 0, 0, std::max(r.right - r.left, FMinSize.cx),
                   std::max(r.bottom - r.top, FMinSize.cy),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (FProgram) FillLeftovers();
}

void TFrmAfterDel::TranslateAfterDel() {
  TQuorDirectForm::TUpdateGuard update(*FForm);
  FFont.Charset = GetLangCharset();
  FFont.Name = GetLangFontName();
  FFont.Size = GetLangFontSize();
  TFontSpec caption = FForm->Props().CaptionFont;
  CopyFontFace(caption, FFont);
  FForm->SetCaptionFont(caption);
  FForm->SetCaption(Translation(L"Frmafterdel.caption", L"FrmAfterDel"));
  TFontSpec info = lblinfo->Font();
  CopyFontFace(info, FFont);
  lblinfo->SetFont(info);
  lblinfo->SetCaption(Translation(L"Frmafterdel.lblinfo.caption", lblinfo->Caption()));
  for (auto [button, key] : {std::pair{btnremove, L"Frmafterdel.btnremove.caption"},
                             std::pair{btncancel, L"Frmafterdel.btncancel.caption"},
                             std::pair{btnall, L"Frmafterdel.btnall.caption"},
                             std::pair{btnnone, L"Frmafterdel.btnnone.caption"}}) {
    auto fonts = button->Fonts();
    for (TFontSpec& font : fonts) CopyFontFace(font, FFont);
    button->SetFonts(fonts);
    button->SetCaption(Translation(key, button->Caption()));
  }
  FitButtons();
  BuildRowMenu();
  FFilesGroup->SetCaption(GetLangText(L"Uninstall", L"Files", L"Files/Folders"));
  FRegGroup->SetCaption(GetLangText(L"Uninstall", L"RegEntries", L"Registry Entries"));
}

// Each button as wide as its caption needs (at least its design width), the
// pairs kept at their edges; the dialog's smallest size then holds the
// buttons side by side and the whole information line.
void TFrmAfterDel::FitButtons() {
  auto width = [&](TQuorDirectStdButton* b) {
    return std::max(kButtonWidth,
                    int(MeasureText(b->Caption(), TQuorFont(FFont)).cx) + kButtonPadding);
  };
  const int top = kClientHeight - 44, height = 25;
  int left = kMargin;
  for (TQuorDirectStdButton* b : {btnall, btnnone}) {
    for (TAnchored& a : FAnchored)
      if (a.Control == b) a.Design = {left, top, width(b), height};
    left += width(b) + kButtonGap;
  }
  int right = kClientWidth - kMargin;
  for (TQuorDirectStdButton* b : {btncancel, btnremove}) {
    right -= width(b);
    for (TAnchored& a : FAnchored)
      if (a.Control == b) a.Design = {right, top, width(b), height};
    right -= kButtonGap;
  }
  const int buttons = left + (kClientWidth - kMargin - right) + 2 * kMargin;
  const TBounds& label = lblinfo->Bounds();
  const int info = int(MeasureText(lblinfo->Caption(), TQuorFont(lblinfo->Font())).cx) +
                   (FForm->Surface().Width() - label.Width);
  FMinSize = {std::max({LONG(kClientWidth), LONG(buttons), LONG(info)}), kClientHeight};
  LayoutControls();
  // Moved controls can leave traces where they overlapped on the way.
  FForm->RedrawAll();
}

LRESULT TFrmAfterDel::HandleMessage(UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_GETMINMAXINFO) {
    auto* info = reinterpret_cast<MINMAXINFO*>(l);
    info->ptMinTrackSize = {FMinSize.cx, FMinSize.cy};
    return 0;
  }
  return THostWindow::HandleMessage(msg, w, l);
}

void TFrmAfterDel::btnremoveClick(TQuorControlBase&) {
  if (FProgram)
    for (const TRow& r : FRows) FProgram->SetLeftoverKept(r.Index, r.Item->CheckState() != kCheckTicked);
  FCancelled = false;
  SetModalResult(IDOK);
  Close();
}

void TFrmAfterDel::btncancelClick(TQuorControlBase&) {
  FCancelled = true;
  Close();
}

// Escape anywhere in the dialog cancels.
bool TFrmAfterDel::KeyFilter(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || msg.wParam != VK_ESCAPE || !Handle()) return false;
  if (msg.hwnd != Handle() && !::IsChild(Handle(), msg.hwnd)) return false;
  btncancelClick(*btncancel);
  return true;
}

}  // namespace quor
