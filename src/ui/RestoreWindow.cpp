#include "ui/RestoreWindow.h"

#include "app/LangText.h"
#include "base/Text.h"
#include "toolkit/QuorSkin.h"
#include "toolkit/QuorSkinProps.h"
#include "ui/RestoreSummaryWindow.h"
#include "ui/RestoreText.h"

namespace quor {
namespace {

// Posted by the worker when the restore has ended; the report waits in FResult.

constexpr TColor kInk = 0x453A33;
constexpr TColor kMuted = 0xA0938A;
const TQuorPadding kButtonSplit{6, 6, 74, 22};

TFontSpec Font(const TFontSpec& face, TColor color, uint8_t style = 0) {
  TFontSpec f{L"Tahoma", DEFAULT_CHARSET, 9, style, color};
  CopyFontFace(f, face);
  return f;
}

std::wstring Translation(const wchar_t* key, const wchar_t* fallback) {
  return GetLangText(L"Translation", key, fallback);
}

std::wstring Message(const wchar_t* key, const wchar_t* fallback) {
  return GetLangText(L"Message", key, fallback);
}

THostParams RestoreHostParams(HWND owner) {
  // Placed when shown; a pop-up placed by the system would get its size too.
  return {.Caption = L"Restore removed items",
          .Left = 0,
          .Top = 0,
          .Width = TFrmRestore::kClientWidth,
          .Height = TFrmRestore::kClientHeight,
          .Owner = owner};
}

TQuorDirectStdButton::TProps ButtonProps(const wchar_t* name, int left, const wchar_t* caption,
                                         const TFontSpec& face, int tabOrder) {
  const TFontSpec ink = Font(face, kInk);
  return {.Control = {.Name = name,
                      .Bounds = {left, TFrmRestore::kClientHeight - 48, 104, 30},
                      .TabStop = true,
                      .TabOrder = tabOrder},
          .ImgBtn = SkinImage(L"std_button"),
          .BtnSplit = kButtonSplit,
          .Caption = caption,
          .FontNormal = ink,
          .FontOver = ink,
          .FontDown = ink,
          .FontDisable = Font(face, kMuted),
          .FontFocus = ink};
}

}  // namespace

TFrmRestore::TFrmRestore(HWND owner, std::wstring root, const TFontSpec& face)
    : THostWindow(RestoreHostParams(owner)), FRoot(std::move(root)), FFace(face) {
  wmsg1 = std::make_unique<TQuorMessageBox>(SkinnedMessageBoxProps());
  whintwin1 =
      std::make_unique<TQuorWindowHint>(TQuorWindowHint::TProps{.ImgForm = SkinImage(L"busy_back"),
                                                                .ImgAni = SkinImage(L"busy_ani"),
                                                                .FrameCount = 12,
                                                                .DrawInterval = 33});
  TQuorFormProps frame = SkinnedFrameProps(L"Restore removed items");
  frame.FormBtns = {};
  // A frame that cannot be resized takes its skin's size: the skin stretched to the window.
  frame.ImgForm =
      StretchStateFrames(frame.ImgForm, 1, frame.FormSplit, kClientWidth, kClientHeight).front();
  frame.CaptionFont = Font(face, kInk, fsBold);
  FForm = std::make_unique<TQuorDirectForm>(*this, frame);
  DefineControls();
  FForm->Load();
  Translate();
  FillList(L"");
  FKeyFilter = TMessageLoop::AddFilter([this](MSG& msg) { return KeyFilter(msg); });
}

TFrmRestore::~TFrmRestore() {
  FKeyFilter = {};
  if (FWorker.joinable()) FWorker.join();
  FForm.reset();
}

void TFrmRestore::DefineControls() {
  TQuorDirectForm& f = *FForm;
  lblinfo = &f.Add<TQuorDirectLabel>(
      {.Control = {.Name = L"lblinfo", .Bounds = {16, 40, kClientWidth - 32, 22}},
       .Font = Font(FFace, kInk),
       .Caption = L"Choose a removal and click Restore to put its items back."});

  TQuorDirectListBox::TProps list = SkinnedListProps();
  list.Control = {.Name = L"lstSets",
                  .Bounds = {16, 66, kClientWidth - 32, kClientHeight - 66 - 60},
                  .TabStop = true,
                  .TabOrder = 0};
  list.Font = Font(FFace, kInk);
  list.HeaderFont = Font(FFace, kInk, fsBold);
  list.Itemheight = 26;
  list.MultiSelect = false;
  lstSets = &f.Add<TQuorDirectListBox>(list);
  lstSets->OnItemClick = [this](TQuorControlBase&, TQuorLboxItem*) { UpdateButtons(); };
  lstSets->OnCurrentChange = lstSets->OnItemClick;
  lstSets->OnItemDbClick = [this](TQuorControlBase& s, TQuorLboxItem*) { btnrestoreClick(s); };
  const std::pair<const wchar_t*, int> columns[] = {
      {L"Program", 220}, {L"Date", 200}, {L"Items", 70}, {L"Size", 90}};
  for (const auto& [caption, width] : columns)
    lstSets->AddHeadItem(std::make_unique<TQuorLbHeadItem>(caption, width));

  btnrestore = &f.Add<TQuorDirectStdButton>(
      ButtonProps(L"btnrestore", kClientWidth - 16 - 2 * 104 - 10, L"Restore", FFace, 1));
  btnclose = &f.Add<TQuorDirectStdButton>(
      ButtonProps(L"btnclose", kClientWidth - 16 - 104, L"Close", FFace, 2));
  btnrestore->OnClick = [this](TQuorControlBase& s) { btnrestoreClick(s); };
  btnclose->OnClick = [this](TQuorControlBase& s) { btncloseClick(s); };
}

void TFrmRestore::Translate() {
  TQuorDirectForm::TUpdateGuard update(*FForm);
  const std::wstring caption = Translation(L"FrmRestore.caption", L"Restore removed items");
  FForm->SetCaption(caption);
  SetCaption(caption);
  FForm->SetCaptionHint(L"BtnClose", GetLangText(L"GUI", L"ButtonClose", L"Close"));
  lblinfo->SetCaption(Translation(L"FrmRestore.lblinfo.caption", lblinfo->Caption().c_str()));
  btnrestore->SetCaption(Translation(L"FrmRestore.btnrestore.caption", L"Restore"));
  btnclose->SetCaption(Translation(L"FrmRestore.btnclose.caption", L"Close"));
  const std::wstring titles[] = {Translation(L"FrmRestore.colprogram", L"Program"),
                                 Translation(L"FrmRestore.coldate", L"Date"),
                                 Translation(L"FrmRestore.colitems", L"Items"),
                                 Translation(L"FrmRestore.colsize", L"Size")};
  for (int i = 0; i < lstSets->HeadCount() && i < int(std::size(titles)); ++i)
    lstSets->GetHeadItem(i)->SetCaption(titles[i]);

  const auto& box = wmsg1->Props();
  auto withFace = [this](TFontSpec f) {
    CopyFontFace(f, FFace);
    return f;
  };
  wmsg1->SetFonts(withFace(box.FontTitle), withFace(box.FontMsg), withFace(box.FontBtn));
  wmsg1->SetButtonCaptions(GetLangText(L"GUI", L"ButtonYes", L"Yes"),
                           GetLangText(L"GUI", L"ButtonNo", L"No"),
                           GetLangText(L"GUI", L"ButtonOK", L"OK"));
  whintwin1->SetFont(withFace(whintwin1->Props().Font));
}

// Rows newest first; the set `selectId` stays selected, else the newest is.
void TFrmRestore::FillList(const std::wstring& selectId) {
  FSets = ListBackupSets(FRoot);
  const auto rows = RestoreRows(FSets, Message(L"RestoredMark", L"(restored)"));
  lstSets->BeginUpdate();
  lstSets->Clear();
  for (const TRestoreRow& r : rows) {
    TQuorLboxItem& row = lstSets->AddItem();
    row.SetCaption(r.Program);
    row.AddSubItem(r.Date);
    row.AddSubItem(r.Items);
    row.AddSubItem(r.Size);
    row.Data = const_cast<TBackupSetInfo*>(r.Set);
    row.Selected = selectId.empty() ? &r == &rows.front() : r.Set->Id == selectId;
  }
  if (lstSets->ItemCount() > 0 && !lstSets->GetSelectedItem()) lstSets->GetItem(0)->Selected = true;
  lstSets->EndUpdate();
  if (rows.empty())
    lblinfo->SetCaption(Message(L"RestoreNone", L"No removed items can be restored."));
  UpdateButtons();
}

void TFrmRestore::UpdateButtons() {
  btnrestore->SetEnabled(!FBusy && SelectedSet() != nullptr);
  btnclose->SetEnabled(!FBusy);
}

const TBackupSetInfo* TFrmRestore::SelectedSet() const {
  const TQuorLboxItem* row = lstSets->GetSelectedItem();
  return row ? static_cast<const TBackupSetInfo*>(row->Data) : nullptr;
}

int TFrmRestore::ShowModal() {
  CenterOnOwner();
  Show(SW_SHOW);
  lstSets->SetFocus();
  return THostWindow::ShowModal();
}

// Enter restores from the list, Escape closes; a focused button takes Enter itself.
bool TFrmRestore::KeyFilter(MSG& msg) {
  if (msg.message != WM_KEYDOWN || !Handle()) return false;
  if (msg.hwnd != Handle() && !::IsChild(Handle(), msg.hwnd)) return false;
  if (!::IsWindowEnabled(Handle())) return false;
  if (msg.wParam == VK_ESCAPE) {
    Close();
    return true;
  }
  if (msg.wParam != VK_RETURN || FBusy) return false;
  if (msg.hwnd == btnrestore->Handle() || msg.hwnd == btnclose->Handle()) return false;
  btnrestoreClick(*lstSets);
  return true;
}

bool TFrmRestore::AskYesNo(const std::wstring& text) {
  return wmsg1->ShowMsg(Translation(L"Warning", L"Warning"), text, false, Handle(),
                        kMsgButtonsYesNo, kMsgConfirmation) == kMsgResultYes;
}

void TFrmRestore::ShowInfo(const std::wstring& text) {
  wmsg1->ShowMsg(Translation(L"Information", L"Information"), text, false, Handle(), kMsgButtonsOk,
                 kMsgInformation);
}

void TFrmRestore::btnrestoreClick(TQuorControlBase&) {
  const TBackupSetInfo* set = SelectedSet();
  if (FBusy || !set) return;
  const std::wstring question = RestoreQuestion(
      *set,
      Message(L"RestoreConfirm",
              L"Put the removed items of %s back? What exists now is left as it is."),
      Message(L"RestoreAgain",
              L"The items of %s were restored before. Restore them again? "
              L"What exists now is left as it is."));
  const std::wstring id = set->Id;
  if (!AskYesNo(question)) return;
  // The list may have been refilled meanwhile: find the set again.
  for (const TBackupSetInfo& s : FSets)
    if (s.Id == id) return StartRestore(s);
}

void TFrmRestore::btncloseClick(TQuorControlBase&) { Close(); }

void TFrmRestore::StartRestore(const TBackupSetInfo& set) {
  FBusy = true;
  FRestoringId = set.Id;
  UpdateButtons();
  FForm->SetEnabled(false);
  whintwin1->SetNewHint(Message(L"Restoring", L"Restoring removed items.."));
  whintwin1->PrepareBusy(Handle());
  whintwin1->ShowBusy(true, 0, false, 0);
  FWorker = std::jthread([this, set, link = FUiCalls.Link()] {
    TRestoreReport report;
    try {
      // The user was asked about a set restored before: the answer was yes.
      report = RestoreBackupSet(set, TRestoreOptions{.Overwrite = false, .Again = set.Restored});
    } catch (const std::exception& e) {
      report.Error = set.Folder + L" (" + FromUtf8(e.what()) + L")";
    } catch (...) {
      report.Error = set.Folder;
    }
    link->Post([this, report = std::move(report)] { RestoreEnd(report); });
  });
}

void TFrmRestore::RestoreEnd(const TRestoreReport& report) {
  if (FWorker.joinable()) FWorker.join();
  if (HWND busy = whintwin1->BusyHandle())
    ::PostMessageW(busy, WM_CLOSE, 0, TQuorHintForm::kCloseCode);
  FBusy = false;
  FForm->SetEnabled(true);
  FRestoredAny = FRestoredAny || report.Restored > 0;
  FillList(FRestoringId);
  ShowSummary(report);
  lstSets->SetFocus();
}

void TFrmRestore::ShowSummary(const TRestoreReport& report) {
  TRestoreSummaryTexts texts;
  texts.Done = Message(L"RestoreDone", texts.Done.c_str());
  texts.NotDone = Message(L"RestoreNotDone", texts.NotDone.c_str());
  texts.Exists = Message(L"RestoreExists", texts.Exists.c_str());
  texts.Failed = Message(L"RestoreFailed", texts.Failed.c_str());
  texts.More = Message(L"RestoreMore", texts.More.c_str());
  TFrmRestoreSummary summary(Handle(), FForm->Caption(), RestoreSummary(report, texts), FFace);
  summary.ShowModal();
}

LRESULT TFrmRestore::HandleMessage(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_CLOSE:
      // The restore goes on until it ends: the window waits for it.
      if (FBusy) {
        ShowInfo(Message(L"RestoreWait",
                         L"Items are being restored. Please wait until it has finished."));
        return 0;
      }
      break;
  }
  return THostWindow::HandleMessage(msg, w, l);
}

bool ShowRestoreWindow(HWND owner, const std::wstring& root, const TFontSpec& face) {
  TFrmRestore window(owner, root, face);
  window.ShowModal();
  return window.RestoredAny();
}

}  // namespace quor
