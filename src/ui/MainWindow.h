#pragma once
// The main window: the list of installed programs with its search box,
// totals line and command buttons, the two menus, start-up and shut-down.

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/LanguageSettings.h"
#include "app/UpdateCheck.h"
#include "base/UiCalls.h"
#include "engine/UninstallHelper.h"
#include "toolkit/HostWindow.h"
#include "toolkit/QuorDirectButton.h"
#include "toolkit/QuorDirectEdit.h"
#include "toolkit/QuorDirectForm.h"
#include "toolkit/QuorDirectImage.h"
#include "toolkit/QuorDirectLabel.h"
#include "toolkit/QuorDirectListBox.h"
#include "toolkit/QuorDirectPanel.h"
#include "toolkit/QuorImageList.h"
#include "toolkit/QuorMessageBox.h"
#include "toolkit/QuorMessageLoop.h"
#include "toolkit/QuorPopupMenu.h"
#include "toolkit/QuorWindowHint.h"

namespace quor {

inline constexpr wchar_t kApplicationTitle[] = L"Quor Uninstaller";

class TFrmMain : public THostWindow {
 public:
  static constexpr int kClientWidth = 805, kClientHeight = 476;
  // Busy-window modes of RunWithProgress.
  static constexpr int kModeBusy = 0, kModeLeftovers = 1;

  // Makes the (hidden) window only, so that a second instance can hand over
  // to the first before anything else starts.
  TFrmMain();
  ~TFrmMain() override;

  // Version, folders, language, columns, menus and the engine, in this order.
  void FormCreate();
  // Shows the window; the first show arms the timer that fills the list.
  void FormShow();

  TQuorDirectForm& Form() { return *FForm; }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM w, LPARAM l) override;

 private:
  struct TAnchored {
    TQuorControlBase* Control;
    TBounds Design;
    uint8_t Anchors;
  };

  // Controls (MainWindowControls.cpp).
  void DefineControls();
  void AddCommandButtons();
  void Anchor(TQuorControlBase& control, uint8_t anchors);
  void LayoutControls();
  void CreateColumns();

  // Start-up and shut-down (MainWindow.cpp).
  void CreateEngine();
  void FormDestroy();
  void tmr1Timer();
  bool CloseQuery();

  // The list (MainWindowList.cpp).
  void RunWithProgress(const std::wstring& text, int mode, TUninstallObject* record);
  void OnRefreshEnd(TUninstallHelper& sender);
  void FillProgramList();
  void ClearRows();
  int RowIcon(const TUninstallObject& record);
  void ShowSizes();
  std::wstring SizeText(int64_t size) const;
  void FillNextRows();
  void AddProgramRow(TUninstallObject& record);
  void SizeReady(TUninstallObject& record);
  void ShowReadySizes();
  void ShowTotals();
  void FilterList(const std::wstring& text);
  void RemoveProgramRow(TUninstallObject* record);
  void lstFileHeadClickEvent(TQuorControlBase& sender, TQuorLbHeadItem& column, int index);
  void lstFileItemClick(TQuorControlBase& sender, TQuorLboxItem* item);
  void edtserachChange(TQuorControlBase& sender);

  // Commands (MainWindowCommands.cpp).
  void UpdateButtons();
  bool EngineIdle();
  TQuorLboxItem* VisibleSelectedRow() const;
  // The visible selected row, or says that none is selected.
  TQuorLboxItem* SelectedProgramRow();
  void BtnNormalClick(TQuorControlBase& sender);
  void btnmodifyClick(TQuorControlBase& sender);
  void btnforceClick(TQuorControlBase& sender);
  void btnremoveClick(TQuorControlBase& sender);
  void UninstallFollowUp(TUninstallHelper& sender, TUninstallObject* record, bool force);
  void FindLeftovers(TUninstallObject* record);
  bool OfferForceUninstall(TUninstallObject& record);
  void ShowModifyResult(const TUninstallObject* record);
  void ShowInfo(const std::wstring& text);
  // Shows why a program's uninstall or modify command was not run, if it was not.
  void ShowCommandError(const TUninstallObject* record, const wchar_t* key, const wchar_t* text);
  bool AskYesNo(const std::wstring& text);
  // A question before something that deletes: No is the default, and only
  // Yes consents (closing the box does not).
  bool ConfirmDestructive(const std::wstring& text);

  // Uninstalling this program itself (MainWindowSelf.cpp).
  bool IsOwnProgram(const TUninstallObject& record) const;
  bool ConfirmSelfUninstall(const TUninstallObject& record);
  void FinishSelfRemoval();

  // The leftover flow (MainWindowLeftovers.cpp).
  void RunLeftoverFlow(const std::wstring& text, const std::shared_ptr<TUninstallObject>& record);
  bool ScanForLeftovers(const std::wstring& text, const std::shared_ptr<TUninstallObject>& record);
  bool RemoveLeftovers(const std::shared_ptr<TUninstallObject>& record);

  // Menus, keyboard and translation (MainWindowMenus.cpp, MainWindowTranslate.cpp).
  void BuildMenus();
  void BuildLanguageMenu(TQuorMenuItem& pmLang);
  void SelectLanguage(TQuorMenuItem& item);
  void pmbtnPopup(TQuorPopupMenu& sender, bool& canShow);
  void OpenEntry(TQuorMenuItem& item);
  void SearchWeb(TQuorMenuItem& item);
  void ShowAbout(TQuorMenuItem& item);
  void StartUpdateCheck();
  std::wstring UpdateFileAddress() const;
  void CheckUpdateDone(TCheckUpdate& sender, const std::wstring& tempFile, int32_t build,
                       const std::wstring& showUrl, const std::vector<std::wstring>& newInfo);
  std::wstring UpdateFailureText(const TCheckUpdate& check) const;
  void btnlikeitClick(TQuorControlBase& sender);
  void QuorDirectImage1click(TQuorControlBase& sender);
  void lblcheckverclick(TQuorControlBase& sender);
  void PopupProgramMenu(POINT screen);
  void PopupProgramMenuAtSelection();
  bool KeyFilter(MSG& msg);
  void UninstallFromKeyboard();
  void TranslateMainWindow();
  // Restore removed items (MainWindowRestore.cpp).
  void pmRestoreClick();

  std::unique_ptr<TQuorDirectForm> FForm;
  TQuorDirectImage* QuorDirectImage1 = nullptr;
  TQuorDirectImage* QuorDirectImage2 = nullptr;
  TQuorDirectLabel* lblinfo = nullptr;
  TQuorDirectLabel* lblver = nullptr;
  TQuorDirectLabel* lblcheckver = nullptr;
  TQuorDirectEdit* edtserach = nullptr;
  TQuorDirectListBox* lstFile = nullptr;
  TQuorDirectButton* BtnNormal = nullptr;
  TQuorDirectButton* btnmodify = nullptr;
  TQuorDirectButton* btnforce = nullptr;
  TQuorDirectButton* btnremove = nullptr;
  TQuorDirectButton* btnlikeit = nullptr;
  TQuorDirectPanel* QuorDirectPanel1 = nullptr;
  TQuorDirectColorLabel* lblinfoex = nullptr;
  std::unique_ptr<TQuorWindowHint> whintwin1;
  std::unique_ptr<TQuorImageList> il2, il3, FSearchIcon;
  std::unique_ptr<TQuorPopupMenu> pmsys, pmbtn;
  std::unique_ptr<TQuorMessageBox> wmsg1;
  std::vector<TAnchored> FAnchored;
  // Icons already extracted, by file and icon number, with their index in il2.
  std::map<std::pair<std::wstring, int>, int> FIconCache;

  std::unique_ptr<TLanguageSettings> FLang;
  std::unique_ptr<TUninstallHelper> FHelper;
  // Runs what workers hand over on this window's thread; goes first at
  // shut-down, so that nothing handed over later runs.
  std::unique_ptr<TUiCalls> FUiCalls;
  // The running update check, until its result has been handled.
  std::shared_ptr<TCheckUpdate> FCheckUpdate;
  TFontSpec FFont{L"Tahoma", DEFAULT_CHARSET, 8, 0, 0x383838};
  std::wstring FVersionText;
  uint16_t FBuild = 0;
  TQuorLboxItem* FCurItem = nullptr;
  TQuorMenuItem* FSearchItem = nullptr;
  TMessageLoop::TFilterToken FKeyFilter;
  bool FCreated = false;
  bool FShown = false;
  bool FFilling = false;       // rows are being rebuilt, a slice at a time
  int FFillNext = 0;           // the next record to get a row
  bool FSizesPending = false;  // sizes have come in since the cells were last written
  // Its own executables go when it ends: Config.ini is not written again then.
  bool FSelfRemovalScheduled = false;
};

}  // namespace quor
