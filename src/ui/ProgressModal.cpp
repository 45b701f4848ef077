#include "ui/ProgressModal.h"

#include "app/LangText.h"
#include "toolkit/QuorMessageLoop.h"
#include "toolkit/QuorSkin.h"
#include "toolkit/QuorSkinProps.h"

namespace quor {
namespace {

constexpr UINT_PTR kTimerStart = 1;
constexpr TColor kInk = RGB(56, 56, 56);
constexpr TColor kMuted = 0xA0938A;
const TQuorPadding kButtonSplit{6, 6, 74, 22};

THostParams ProgressHostParams(HWND owner) {
  return {.Caption = L"FrmProgressModal",
          .Left = 0,
          .Top = 0,
          .Width = TFrmProgressModal::kClientWidth,
          .Height = TFrmProgressModal::kClientHeight,
          .Owner = owner};
}

TFontSpec Font(TColor color) { return {L"Tahoma", DEFAULT_CHARSET, 8, 0, color}; }

}  // namespace

TFrmProgressModal::TFrmProgressModal(HWND owner) : THostWindow(ProgressHostParams(owner)) {
  TQuorFormProps frame = SkinnedFrameProps(L"");
  frame.ImgForm = SkinnedDialogImage(kClientWidth, kClientHeight);
  frame.ImgLogo = {};
  frame.FormBtns = {};
  frame.ImgBtnSingleClose = {};  // a close button without an image is not placed
  frame.SupportResize = false;
  frame.CanMoveAny = true;
  FForm = std::make_unique<TQuorDirectForm>(*this, frame);
  DefineControls();
  FForm->Load();
  FCancelled = true;
}

TFrmProgressModal::~TFrmProgressModal() {
  FDestroying = true;
  FormClose();
  FForm.reset();
}

void TFrmProgressModal::DefineControls() {
  TQuorDirectForm& f = *FForm;
  lblinfo = &f.Add<TQuorDirectLabel>(
      {.Control = {.Name = L"lblinfo", .Bounds = {11, 18, 366, 25}}, .Font = FFont, .Caption = L"Test"});
  pb1 = &f.Add<TQuorDirectProgress>({.Control = {.Name = L"pb1", .Bounds = {11, 49, 366, 15}},
                                     .ImgBack = SkinImage(L"progress_back"),
                                     .ImgFront = SkinImage(L"progress_front"),
                                     .Position = 30,
                                     .ImgSplit = {4, 0, 36, 0}});
  btncancel = &f.Add<TQuorDirectStdButton>(
      {.Control = {.Name = L"btncancel", .Bounds = {136, 78, 120, 25}, .TabStop = true, .TabOrder = 0},
       .ImgBtn = SkinImage(L"std_button"),
       .BtnSplit = kButtonSplit,
       .Caption = L"Cancel",
       .FontNormal = Font(kInk),
       .FontOver = Font(kInk),
       .FontDown = Font(kInk),
       .FontDisable = Font(kMuted),
       .FontFocus = Font(kInk)});
  btncancel->OnClick = [this](TQuorControlBase& s) { btncancelClick(s); };
}

void TFrmProgressModal::SetText(const std::wstring& text) {
  FTextSet = true;
  lblinfo->SetCaption(text);
}

void TFrmProgressModal::SetMax(int32_t max) { pb1->SetMax(max); }

int TFrmProgressModal::ShowModal() {
  FCancelled = true;
  FClosing = false;
  FormShow();
  CenterOnOwner();
  const TMessageLoop::TFilterToken keys =
      TMessageLoop::AddFilter([this](MSG& msg) { return KeyFilter(msg); });
  // The job starts from the modal loop: a job on this thread ends, and
  // closes the dialog, inside the call that starts it.
  SetTimer(kTimerStart, 1, [this] {
    KillTimer(kTimerStart);
    btncancel->SetFocus();
    StartJob();
  });
  const int result = THostWindow::ShowModal();
  KillTimer(kTimerStart);
  FormClose();
  return result;
}

void TFrmProgressModal::FormShow() {
  const HCURSOR busy = ::LoadCursorW(nullptr, IDC_APPSTARTING);
  SetCursor(busy);
  ::SetCursor(busy);
  TranslateProgress();
  if (FMode != kModeScan && !FTextSet) {
    // The engine names each item as it goes; until the first, the program.
    std::wstring line = GetLangText(L"Uninstall", L"Removing", L"Removing:");
    if (FProgram) line += L" " + FProgram->DisplayName;
    lblinfo->SetCaption(line);
  }
  AssignHandlers();
}

void TFrmProgressModal::TranslateProgress() {
  TQuorDirectForm::TUpdateGuard update(*FForm);
  FFont.Charset = GetLangCharset();
  FFont.Name = GetLangFontName();
  FFont.Size = GetLangFontSize();
  TFontSpec info = lblinfo->Font();
  CopyFontFace(info, FFont);
  lblinfo->SetFont(info);
  auto fonts = btncancel->Fonts();
  for (TFontSpec& font : fonts) CopyFontFace(font, FFont);
  btncancel->SetFonts(fonts);
  btncancel->SetCaption(GetLangText(L"Translation", L"FrmProgressModal.btncancel.caption", L"Cancel"));
}

void TFrmProgressModal::AssignHandlers() {
  if (!FHelper) return;
  FHandlersAssigned = true;
  TUninstallHelper& h = *FHelper;
  h.OnProgress = [this](TUninstallHelper& sender) {
    if (FDestroying || FClosing) return;
    if (::IsWindowVisible(Handle())) pb1->SetPosition(sender.Progress());
    if (!sender.Threaded) TMessageLoop::ProcessPending();
  };
  h.OnScanBegin = [this](TUninstallHelper&, TUninstallObject*) { pb1->SetPosition(0); };
  h.OnScanEnd = [this](TUninstallHelper&, TUninstallObject*) { JobEnded(); };
  h.OnRemoveBegin = [](TUninstallHelper&) {};
  h.OnRemoveEnd = [this](TUninstallHelper&) { JobEnded(); };
  h.OnCurrentItem = [this](TUninstallHelper&, const std::wstring& path) {
    if (!FClosing) lblinfo->SetCaption(GetLangText(L"Uninstall", L"Removing", L"Removing:") + L" " + path);
  };
}

void TFrmProgressModal::StartJob() {
  if (!FHelper || !FProgram || FClosing) return;
  if (FMode == kModeScan) FHelper->Uninstall(FProgram, true);
  else FHelper->RemoveLeftovers(FProgram);
}

void TFrmProgressModal::JobEnded() {
  if (FClosing) return;
  FClosing = true;
  FCancelled = false;
  Close();
}

void TFrmProgressModal::btncancelClick(TQuorControlBase&) {
  if (FClosing) return;
  FClosing = true;
  FCancelled = true;
  Close();
}

void TFrmProgressModal::FormClose() {
  ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
  SetCursor(nullptr);
  if (!FHelper || !FHandlersAssigned) return;
  FHandlersAssigned = false;
  FHelper->OnProgress = nullptr;
  FHelper->OnScanBegin = nullptr;
  FHelper->OnScanEnd = nullptr;
  FHelper->OnRemoveBegin = nullptr;
  FHelper->OnRemoveEnd = nullptr;
  FHelper->OnCurrentItem = nullptr;
}

// Escape anywhere in the dialog cancels, as the Cancel button does.
bool TFrmProgressModal::KeyFilter(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || msg.wParam != VK_ESCAPE || !Handle()) return false;
  if (msg.hwnd != Handle() && !::IsChild(Handle(), msg.hwnd)) return false;
  btncancelClick(*btncancel);
  return true;
}

}  // namespace quor
