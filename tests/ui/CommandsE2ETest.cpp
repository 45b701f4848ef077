// The main window's commands as a user meets them: the real executable in
// the test prefix, its command buttons and context menu driven with real
// input, its message boxes read through their window text.

#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/Handles.h"
#include "engine/BackupSets.h"
#include "support/ChildProcess.h"
#include "support/TempFolder.h"
#include "support/TempRegistration.h"
#include "ui/BackupRoot.h"
#include "ui/GuiProgram.h"
#include "ui/ListText.h"
#include "ui/Polling.h"
#include "ui/SavedFile.h"
#include "ui/TestPrograms.h"
#include "ui/UserInput.h"
#include "ui/WindowShot.h"

namespace quor::test {
namespace {

// Limits only end a hung test; nothing here measures time.
constexpr DWORD kStartLimitMs = 90000;
constexpr DWORD kStepLimitMs = 30000;
// How long a click that must do nothing is given to show anything.
constexpr DWORD kNothingShownMs = 1500;
// How long a repaint is waited for.
constexpr DWORD kPaintLimitMs = 5000;

// The frame's layout in client pixels: the list's top-left corner and the
// command buttons' rectangles.
constexpr POINT kListAt{8, 72};
constexpr int kHeaderHeight = 19, kRowHeight = 30;
enum TCommand { cmdNormal, cmdModify, cmdForce, cmdDelete };
constexpr RECT kCommandButtons[] = {
    {649, 75, 789, 106}, {649, 112, 789, 143}, {649, 149, 789, 180}, {649, 205, 789, 236}};

// A popup-menu level: items 24 pixels high with 2 pixels between them, the
// first 6 pixels below the level's top.
constexpr int kMenuItemPitch = 26, kMenuFirstItemTop = 6, kMenuItemHeight = 24;
enum TMenuItem { miOpenEntry, miGoogle };

// The message box's close button: 30 pixels square, 8 + 4 pixels in from
// the right edge and 8 down from the top.
constexpr int kMessageCloseRight = 12, kMessageCloseTop = 8, kMessageCloseSize = 30;

// Enter answers with the focused button: Yes, or OK, unless the question
// is one that deletes, where No is focused. An arrow key moves to the other.
enum class TAnswer { Enter, OtherButton, CloseBox };

const std::wstring& Tag() {
  static const std::wstring tag = L"QuorCmdTest" + std::to_wstring(::GetCurrentProcessId());
  return tag;
}

std::wstring Named(const std::wstring& suffix) { return Tag() + L" " + suffix; }

std::string Ascii(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += c < 128 ? char(c) : '?';
  return out;
}

std::wstring EnglishText(const wchar_t* section, const wchar_t* key) {
  wchar_t value[512] = {};
  ::GetPrivateProfileStringW(section, key, L"", value, 512,
                             (ExeFolder() + L"\\Languages\\English.ini").c_str());
  return value;
}

// What a message box shows: its title, a line break, its message.
std::wstring InfoText(const wchar_t* key) {
  return EnglishText(L"Translation", L"Information") + L"\r\n" + EnglishText(L"Message", key);
}
// A translated text with its "%s" (and then "%d") filled in.
std::wstring Filled(std::wstring text, const std::vector<std::wstring>& values) {
  for (const std::wstring& value : values) {
    size_t at = text.find(L"%s");
    if (at == std::wstring::npos) at = text.find(L"%d");
    if (at != std::wstring::npos) text.replace(at, 2, value);
  }
  return text;
}
std::wstring NamedQuestion(const wchar_t* key, const std::vector<std::wstring>& values) {
  return EnglishText(L"Translation", L"Warning") + L"\r\n" +
         Filled(EnglishText(L"Message", key), values);
}

std::wstring HelperCommand(const std::wstring& arguments) {
  return L"\"" + ExeFolder() + L"\\quor_test_helper.exe\" " + arguments;
}

std::wstring ConfigPath() {
  wchar_t appData[MAX_PATH] = {};
  ::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData);
  return std::wstring(appData) + L"\\Quor Uninstaller\\Config.ini";
}

TProgramSpec Spec(const std::wstring& suffix) {
  return {Named(suffix), L"Command Test Co", L"1.0", L"20240101", 1, 2048};
}

class CommandsE2E : public testing::Test {
 protected:
  // The user's settings come back after the suite.
  static void SetUpTestSuite() { FSavedConfig = std::make_unique<TSavedFile>(ConfigPath()); }
  static void TearDownTestSuite() { FSavedConfig.reset(); }

  void SetUp() override {
    ASSERT_FALSE(PathExists(ExeFolder() + L"\\config.ini"))
        << "a config.ini beside QuorUninstaller.exe overrides the settings under test";
    ::DeleteFileW(ConfigPath().c_str());
  }

  void TearDown() override {
    if (!FProgram || !FProgram->Running()) return;
    if (HasFailure()) {
      FProgram->Kill();
      return;
    }
    ::PostMessageW(FProgram->MainWindow(), WM_CLOSE, 0, 0);
    const auto code = FProgram->WaitForExit(kStepLimitMs);
    if (!code) FProgram->Kill();
    EXPECT_EQ(code, std::optional<DWORD>(0));
  }

  // Starts the program and waits until it lists `programs` and takes input.
  void Start(const std::vector<const TTestProgram*>& programs) {
    FProgram = std::make_unique<TGuiProgram>();
    ASSERT_TRUE(FProgram->Started()) << "cannot start " << Ascii(ProgramPath());
    ASSERT_TRUE(WaitUntil([&] { return FProgram->ListWindow() != nullptr; }, kStartLimitMs))
        << "the main window with its list did not appear";
    ASSERT_TRUE(WaitUntil(
        [&] {
          const TListText list = List();
          for (const TTestProgram* p : programs)
            if (!list.Row(p->DisplayName())) return false;
          return ::IsWindowEnabled(FProgram->MainWindow()) != FALSE;
        },
        kStartLimitMs))
        << "the test programs are not listed, or the window takes no input";
  }

  TListText List() const { return ParseListText(WindowText(FProgram->ListWindow())); }
  bool Listed(const TTestProgram& p) const { return List().Row(p.DisplayName()).has_value(); }

  void FocusMainWindow() {
    ASSERT_TRUE(BringToFront(FProgram->MainWindow()))
        << "the main window does not come to the front";
  }

  // Shows only the program's row (by searching for its name) and clicks it.
  void SelectRow(const TTestProgram& p) {
    FocusMainWindow();
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(
        WaitUntil([&] { return WindowText(FProgram->SearchWindow()).empty(); }, kStepLimitMs));
    TypeText(p.DisplayName());
    ASSERT_TRUE(WaitUntil(
        [&] {
          const TListText list = List();
          return list.Rows.size() == 1 && list.Rows[0].Name == p.DisplayName();
        },
        kStepLimitMs))
        << "the search does not show " << Ascii(p.DisplayName()) << " alone";
    const RECT list = ScreenRect(FProgram->ListWindow());
    ClickAt({list.left + 100, list.top + kHeaderHeight + kRowHeight / 2});
  }

  void ClickCommand(TCommand command) {
    FocusMainWindow();
    const RECT list = ScreenRect(FProgram->ListWindow());
    const RECT& b = kCommandButtons[command];
    ClickAt({list.left - kListAt.x + (b.left + b.right) / 2,
             list.top - kListAt.y + (b.top + b.bottom) / 2});
  }

  // The message box that is open, once there is one: of the open dialogs
  // (a progress dialog may be there too) the one whose text is a title and
  // a message.
  HWND WaitForMessageBox() {
    HWND box = nullptr;
    WaitUntil(
        [&] {
          for (HWND dialog : FProgram->Dialogs())
            if (WindowText(dialog).find(L"\r\n") != std::wstring::npos) box = dialog;
          return box != nullptr;
        },
        kStepLimitMs);
    return box;
  }

  bool NoDialogFor(DWORD ms) {
    return !WaitUntil([&] { return !FProgram->Dialogs().empty(); }, ms);
  }

  // Answers the open message box and waits until it has gone.
  testing::AssertionResult Answer(HWND box, TAnswer answer) {
    if (!BringToFront(box)) return testing::AssertionFailure() << "the box is not in front";
    switch (answer) {
      case TAnswer::Enter:
        PressKey(VK_RETURN);
        break;
      case TAnswer::OtherButton:
        PressKey(VK_RIGHT);
        PressKey(VK_RETURN);
        break;
      case TAnswer::CloseBox: {
        const RECT r = ScreenRect(box);
        ClickAt({r.right - kMessageCloseRight - kMessageCloseSize / 2,
                 r.top + kMessageCloseTop + kMessageCloseSize / 2});
        break;
      }
    }
    // The box's window is kept for the next message: gone means hidden.
    if (WaitUntil([&] { return !::IsWindowVisible(box); }, kStepLimitMs))
      return testing::AssertionSuccess();
    return testing::AssertionFailure() << "the box stays open";
  }

  // Expects a message box with `text`, and closes it with OK.
  void ExpectInfo(const std::wstring& text, const char* what) {
    const HWND box = WaitForMessageBox();
    ASSERT_NE(box, nullptr) << what << ": no message box";
    EXPECT_EQ(WindowText(box), text) << what;
    ASSERT_TRUE(Answer(box, TAnswer::Enter)) << what;
  }

  std::vector<HWND> OpenContextMenu() {
    FocusMainWindow();
    PressKey(VK_APPS);
    std::vector<HWND> levels;
    WaitUntil([&] { return (levels = FProgram->MenuLevels()).size() == 1; }, kStepLimitMs);
    return levels;
  }

  void PointAtMenuItem(HWND level, TMenuItem item) {
    const RECT r = ScreenRect(level);
    MoveMouseTo({(r.left + r.right) / 2,
                 r.top + kMenuFirstItemTop + int(item) * kMenuItemPitch + kMenuItemHeight / 2});
  }

  void CloseMenus() {
    for (int i = 0; i < 3 && !FProgram->MenuLevels().empty(); ++i) {
      PressKey(VK_ESCAPE);
      WaitUntil([&] { return FProgram->MenuLevels().empty(); }, 2000);
    }
    ASSERT_TRUE(FProgram->MenuLevels().empty()) << "Escape leaves the menu open";
  }

  // Waits until the window has handled every input sent before: a character
  // typed into the search box shows there only after them.
  testing::AssertionResult InputHandled() {
    FocusMainWindow();
    const std::wstring before = WindowText(FProgram->SearchWindow());
    TypeText(L"~");
    if (!WaitUntil([&] { return WindowText(FProgram->SearchWindow()) == before + L"~"; },
                   kStepLimitMs))
      return testing::AssertionFailure() << "the window does not take input";
    PressKey(VK_BACK);
    if (!WaitUntil([&] { return WindowText(FProgram->SearchWindow()) == before; }, kStepLimitMs))
      return testing::AssertionFailure() << "the search box keeps the typed character";
    return testing::AssertionSuccess();
  }

  RECT CommandRect(TCommand command) const {
    const RECT list = ScreenRect(FProgram->ListWindow());
    const RECT& b = kCommandButtons[command];
    return {list.left - kListAt.x + b.left, list.top - kListAt.y + b.top,
            list.left - kListAt.x + b.right, list.top - kListAt.y + b.bottom};
  }

  // The four buttons as the screen shows them, the pointer away from them.
  std::vector<TScreenPixels> CommandPixels() {
    MoveMouseTo({2, 2});
    std::vector<TScreenPixels> shots;
    for (TCommand c : {cmdNormal, cmdModify, cmdForce, cmdDelete})
      shots.push_back(CaptureScreen(CommandRect(c)));
    return shots;
  }

  std::wstring TotalsText() const { return WindowText(FProgram->TotalsWindow()); }

  static inline std::unique_ptr<TSavedFile> FSavedConfig;
  std::unique_ptr<TGuiProgram> FProgram;
};

bool SamePixels(const TScreenPixels& a, const TScreenPixels& b) { return a.Pixels == b.Pixels; }

// The question of Delete Entries names the program and has No for its
// default: only Yes deletes the registration and the row, after a backup
// set of the registration that the restore brings back; the install folder
// is never touched, and the totals line counts one row less.
TEST_F(CommandsE2E, DeleteEntriesAsksByNameAndBacksTheEntryUp) {
  struct TCase {
    const char* Name;
    const wchar_t* Suffix;
    TAnswer Answer;
    bool Deleted;
  };
  const TCase cases[] = {
      {"Enter: No is the default", L"Enter", TAnswer::Enter, false},
      {"the box's close button", L"Closed", TAnswer::CloseBox, false},
      {"Yes", L"Yes", TAnswer::OtherButton, true},
  };
  TBackupRoot backups(L"QuorCmdAppData");
  std::vector<std::unique_ptr<TTestProgram>> programs;
  std::vector<const TTestProgram*> listed;
  for (const TCase& c : cases) {
    programs.push_back(std::make_unique<TTestProgram>(Spec(L"Delete " + std::wstring(c.Suffix)),
                                                      L"QuorCmdTest-D"));
    programs.back()->SetValue(L"UninstallString", L"\"C:\\gone\\uninst.exe\" /S");
    listed.push_back(programs.back().get());
  }
  Start(listed);
  for (size_t i = 0; i < std::size(cases); ++i) {
    const TCase& c = cases[i];
    const TTestProgram& program = *programs[i];
    SCOPED_TRACE(c.Name);
    SelectRow(program);
    ClickCommand(cmdDelete);
    const HWND box = WaitForMessageBox();
    ASSERT_NE(box, nullptr) << "Delete Entries asked nothing";
    EXPECT_EQ(WindowText(box), NamedQuestion(L"ConfirmDeleteEntry", {program.DisplayName()}));
    ASSERT_TRUE(Answer(box, c.Answer));
    if (c.Deleted) {
      EXPECT_TRUE(WaitUntil([&] { return !Listed(program); }, kStepLimitMs)) << "the row stays";
      EXPECT_FALSE(program.RegistrationExists());
    } else {
      ASSERT_TRUE(InputHandled());
      EXPECT_TRUE(Listed(program));
      EXPECT_TRUE(program.RegistrationExists());
    }
    EXPECT_TRUE(PathExists(program.FolderPath())) << "the install folder went too";
    EXPECT_TRUE(FProgram->Dialogs().empty());
  }
  // The search shows the last row alone; without it the line counts the rest.
  FocusMainWindow();
  PressKey(VK_ESCAPE);
  const size_t rows = List().Rows.size();
  EXPECT_TRUE(
      WaitUntil([&] { return TotalsText().starts_with(std::to_wstring(rows) + L" programs of "); },
                kStepLimitMs))
      << "the totals line reads " << Ascii(TotalsText()) << " with " << rows << " rows";

  const TTestProgram& deleted = *programs.back();
  const std::vector<TBackupSetInfo> sets = ListBackupSets(backups.Folder());
  ASSERT_EQ(sets.size(), 1u) << "one set for the one entry deleted";
  EXPECT_EQ(sets[0].Program, deleted.DisplayName());
  const TRestoreReport report = RestoreBackupSet(sets[0], {});
  EXPECT_EQ(report.NotRestored, 0) << Ascii(report.Error);
  EXPECT_TRUE(deleted.RegistrationExists()) << "the restore did not bring the entry back";
  wchar_t value[MAX_PATH] = {};
  DWORD bytes = sizeof value;
  EXPECT_EQ(::RegGetValueW(deleted.RootKey(), deleted.KeyPath().c_str(), L"UninstallString",
                           RRF_RT_REG_SZ, nullptr, value, &bytes),
            ERROR_SUCCESS);
  EXPECT_EQ(std::wstring(value), L"\"C:\\gone\\uninst.exe\" /S");
}

// Commands act on the selected row only while the search shows it. Hidden
// by the search, or with no row selected (also after the search is cleared),
// every button is disabled, a click on one does nothing, and the keys say
// that no program is selected.
TEST_F(CommandsE2E, WithoutAVisibleSelectionNothingIsActedOn) {
  TBackupRoot backups(L"QuorCmdAppData");
  const TTestProgram hidden(Spec(L"Hidden"), L"QuorCmdTest-S");
  hidden.SetValue(L"ModifyPath", HelperCommand(L"--exit 0"));  // so that Modify is enabled too
  const TTestProgram shown(Spec(L"Shown"), L"QuorCmdTest-S");
  Start({&hidden, &shown});
  FocusMainWindow();
  const std::vector<TScreenPixels> disabled = CommandPixels();  // nothing selected yet
  auto allDisabled = [&] {
    const std::vector<TScreenPixels> now = CommandPixels();
    for (size_t i = 0; i < now.size(); ++i)
      if (!SamePixels(now[i], disabled[i])) return false;
    return true;
  };
  auto allEnabled = [&] {
    const std::vector<TScreenPixels> now = CommandPixels();
    for (size_t i = 0; i < now.size(); ++i)
      if (SamePixels(now[i], disabled[i])) return false;
    return true;
  };

  SelectRow(hidden);
  ASSERT_TRUE(WaitUntil(allEnabled, kPaintLimitMs)) << "a visible selection enables no button";
  // The search now shows another row only; the selected one stays selected, hidden.
  FocusMainWindow();
  PressKey(VK_ESCAPE);
  TypeText(shown.DisplayName());
  ASSERT_TRUE(
      WaitUntil([&] { return List().Names() == std::vector{shown.DisplayName()}; }, kStepLimitMs));
  EXPECT_TRUE(WaitUntil(allDisabled, kPaintLimitMs)) << "a hidden selection leaves buttons enabled";

  // A click on disabled Delete Entries does nothing: the Enter key after it
  // (which uninstalls the selected row) is the first input to show a box,
  // and says that nothing is selected.
  ClickCommand(cmdDelete);
  FocusMainWindow();
  PressKey(VK_RETURN);
  ExpectInfo(InfoText(L"NoProgramSelected"), "Enter with the selection hidden");
  ASSERT_TRUE(InputHandled());
  EXPECT_TRUE(hidden.RegistrationExists()) << "the hidden row's entry was deleted";
  EXPECT_TRUE(shown.RegistrationExists());
  EXPECT_TRUE(ListBackupSets(backups.Folder()).empty());

  // Shown again by clearing the search, the selection counts again.
  FocusMainWindow();
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(WaitUntil(allEnabled, kPaintLimitMs)) << "the visible selection enables no button";

  // Deleted, the row leaves no selection: clearing a search keeps every
  // button disabled.
  ClickCommand(cmdDelete);
  const HWND box = WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  ASSERT_TRUE(Answer(box, TAnswer::OtherButton));
  ASSERT_TRUE(WaitUntil([&] { return !Listed(hidden); }, kStepLimitMs));
  FocusMainWindow();
  TypeText(shown.DisplayName());
  ASSERT_TRUE(WaitUntil([&] { return List().Rows.size() == 1; }, kStepLimitMs));
  PressKey(VK_ESCAPE);
  ASSERT_TRUE(
      WaitUntil([&] { return WindowText(FProgram->SearchWindow()).empty(); }, kStepLimitMs));
  EXPECT_TRUE(WaitUntil(allDisabled, kPaintLimitMs)) << "buttons enabled with nothing selected";
  FocusMainWindow();
  PressKey(VK_RETURN);
  ExpectInfo(InfoText(L"NoProgramSelected"), "Enter with nothing selected");
}

// Without a selected row both items are disabled: the search item opens no
// sub-menu. With one, it offers the program's name and publisher.
TEST_F(CommandsE2E, ContextMenuItemsNeedASelection) {
  const TTestProgram program(Spec(L"Menu"), L"QuorCmdTest-M");
  Start({&program});
  std::vector<HWND> levels = OpenContextMenu();
  ASSERT_EQ(levels.size(), 1u) << "the Apps key opened no menu";
  PointAtMenuItem(levels[0], miGoogle);
  EXPECT_FALSE(WaitUntil([&] { return FProgram->MenuLevels().size() == 2; }, kNothingShownMs))
      << "a disabled item opened its sub-menu";
  CloseMenus();

  SelectRow(program);
  levels = OpenContextMenu();
  ASSERT_EQ(levels.size(), 1u) << "the Apps key opened no menu";
  PointAtMenuItem(levels[0], miGoogle);
  EXPECT_TRUE(
      WaitUntil([&] { return (levels = FProgram->MenuLevels()).size() == 2; }, kStepLimitMs))
      << "the search item opened no sub-menu with a row selected";
  if (levels.size() == 2) {
    const RECT sub = ScreenRect(levels[1]);
    EXPECT_EQ(sub.bottom - sub.top, kMenuFirstItemTop + 8 - 2 + 2 * kMenuItemPitch)
        << "the sub-menu does not hold two items";
  }
  CloseMenus();
}

// Modify is offered only for a program with a modify command. While one
// runs the buttons wait for it (Force Uninstall asks nothing), the Enter key
// is told that the engine is busy; its end is told with its exit code and
// brings the buttons back.
TEST_F(CommandsE2E, WhileAModifyRunsCommandsWaitForItAndItsEndIsTold) {
  TempFolder marks(L"QuorCmdMarks");
  const std::wstring started = marks / L"started.txt", modified = marks / L"modified.txt";
  const TTestProgram modifiable(Spec(L"Modifiable"), L"QuorCmdTest-F");
  modifiable.SetValue(L"ModifyPath",
                      HelperCommand(L"--args-out \"" + started +
                                    L"\" --sleep 6000 --exit 3 --marker \"" + modified + L"\""));
  const TTestProgram plain(Spec(L"Plain"), L"QuorCmdTest-F");
  Start({&modifiable, &plain});

  SelectRow(plain);
  ClickCommand(cmdModify);
  ASSERT_TRUE(InputHandled());
  EXPECT_TRUE(FProgram->Dialogs().empty())
      << "Modify answered for a program without a modify command";

  SelectRow(modifiable);
  ClickCommand(cmdModify);
  ASSERT_TRUE(WaitUntil([&] { return PathExists(started); }, kStepLimitMs))
      << "the modify command did not start";
  ClickCommand(cmdForce);
  FocusMainWindow();
  PressKey(VK_RETURN);
  // Had the click asked its question, that box would come first.
  ExpectInfo(InfoText(L"IsBusy"), "Enter while a modify runs");
  if (HasFatalFailure()) return;
  EXPECT_FALSE(PathExists(modified)) << "the modify command ended too soon for this test";

  const HWND ended = WaitForMessageBox();
  ASSERT_NE(ended, nullptr) << "the end of the modify command was not told";
  EXPECT_TRUE(PathExists(modified));
  EXPECT_EQ(WindowText(ended),
            EnglishText(L"Translation", L"Information") + L"\r\n" +
                Filled(EnglishText(L"Message", L"ModifyEnded"), {modifiable.DisplayName(), L"3"}));
  ASSERT_TRUE(Answer(ended, TAnswer::Enter));
  ClickCommand(cmdForce);
  const HWND question = WaitForMessageBox();
  ASSERT_NE(question, nullptr) << "Force Uninstall stays disabled after the modify ended";
  EXPECT_EQ(WindowText(question), NamedQuestion(L"ConfirmForce", {modifiable.DisplayName()}));
  ASSERT_TRUE(Answer(question, TAnswer::Enter));  // No is the default
  ASSERT_TRUE(InputHandled());
  EXPECT_TRUE(FProgram->Dialogs().empty()) << "No to the question went on";
  EXPECT_TRUE(Listed(modifiable));
  EXPECT_TRUE(modifiable.RegistrationExists());
}

// A normal uninstall: an uninstaller that leaves its registration ends
// without a scan and keeps the row; one that removes it starts the scan,
// which here finds nothing (no install folder, a name found nowhere), says
// so, and the row goes with the registration.
TEST_F(CommandsE2E, NormalUninstallScansOnlyWhenTheRegistrationHasGone) {
  TempFolder marks(L"QuorCmdMarks");
  const std::wstring kept = marks / L"kept.txt", removed = marks / L"removed.txt";
  const TTestProgram keeps(Spec(L"Keeps"), L"QuorCmdTest-N");
  keeps.SetValue(L"UninstallString", HelperCommand(L"--marker \"" + kept + L"\""));
  TProgramSpec goesSpec = Spec(L"Goes");
  goesSpec.Files = 0;
  const TTestProgram goes(goesSpec, L"QuorCmdTest-N");
  // The uninstaller deletes the registration; the install folder is gone already.
  goes.SetValue(L"UninstallString",
                HelperCommand(L"--delete-key \"HKEY_CURRENT_USER\\" + goes.KeyPath() +
                              L"\" --marker \"" + removed + L"\""));
  ASSERT_TRUE(::RemoveDirectoryW(goes.FolderPath().c_str()));
  Start({&keeps, &goes});

  SelectRow(keeps);
  ClickCommand(cmdNormal);
  ASSERT_TRUE(WaitUntil([&] { return PathExists(kept); }, kStepLimitMs))
      << "the uninstaller did not run";
  EXPECT_TRUE(NoDialogFor(3000)) << "an uninstall that left its registration went on";
  EXPECT_TRUE(Listed(keeps));

  SelectRow(goes);
  ClickCommand(cmdNormal);
  ASSERT_TRUE(WaitUntil([&] { return PathExists(removed); }, kStepLimitMs))
      << "the uninstaller did not run";
  const HWND box = WaitForMessageBox();
  ASSERT_NE(box, nullptr) << "the scan told nothing";
  EXPECT_EQ(WindowText(box), EnglishText(L"Translation", L"Information") + L"\r\n" +
                                 EnglishText(L"Uninstall", L"NoLeftOverItem"));
  ASSERT_TRUE(Answer(box, TAnswer::Enter));
  EXPECT_TRUE(WaitUntil([&] { return !Listed(goes); }, kStepLimitMs)) << "the row stays";
}

// An uninstall command that could mean a planted program as well as the
// registered one runs neither: the window says why, naming the program, and
// the row stays. The same holds for the modify command.
TEST_F(CommandsE2E, ACommandThatIsNotRunIsShownAsAFailure) {
  TempFolder marks(L"QuorCmdMarks");
  const std::wstring tool = marks.MakeFolder(L"Zqx Tool");
  const std::wstring helper = ExeFolder() + L"\\quor_test_helper.exe";
  ASSERT_TRUE(::CopyFileW(helper.c_str(), (tool + L"\\uninst.exe").c_str(), FALSE));
  ASSERT_TRUE(::CopyFileW(helper.c_str(), (marks / L"Zqx.exe").c_str(), FALSE));
  const std::wstring ran = marks / L"ran.txt";
  const TTestProgram program(Spec(L"Ambiguous"), L"QuorCmdTest-A");
  program.SetValue(L"UninstallString", tool + L"\\uninst.exe --marker " + ran);
  program.SetValue(L"ModifyPath", tool + L"\\uninst.exe --marker " + ran);
  Start({&program});
  const struct {
    TCommand Command;
    const wchar_t* Text;
  } cases[] = {{cmdNormal, L"The uninstall command was not run."},
               {cmdModify, L"The modify command was not run."}};
  for (const auto& c : cases) {
    SCOPED_TRACE(int(c.Command));
    SelectRow(program);
    ClickCommand(c.Command);
    const HWND box = WaitForMessageBox();
    ASSERT_NE(box, nullptr) << "the failure was not shown";
    const std::wstring text = WindowText(box);
    EXPECT_TRUE(text.starts_with(L"Error\r\n" + std::wstring(c.Text) + L"\r\n" +
                                 program.DisplayName() + L": it could mean more than one program"))
        << Ascii(text);
    ASSERT_TRUE(Answer(box, TAnswer::Enter));
  }
  EXPECT_FALSE(PathExists(ran)) << "a program ran";
  EXPECT_TRUE(Listed(program));
}

// Enter and Delete uninstall the selected row while the user can see it;
// hidden by the search, it is not uninstalled by a key.
TEST_F(CommandsE2E, KeysUninstallOnlyTheRowTheUserSees) {
  TempFolder marks(L"QuorCmdMarks");
  const std::wstring ran = marks / L"ran.txt";
  const TTestProgram program(Spec(L"Keyed"), L"QuorCmdTest-K");
  // An uninstaller that leaves its registration: nothing follows it.
  program.SetValue(L"UninstallString", HelperCommand(L"--marker \"" + ran + L"\""));
  Start({&program});
  SelectRow(program);
  for (WORD key : {WORD(VK_DELETE), WORD(VK_RETURN)}) {
    SCOPED_TRACE(key);
    ::DeleteFileW(ran.c_str());
    FocusMainWindow();
    PressKey(key);
    EXPECT_TRUE(WaitUntil([&] { return PathExists(ran); }, kStepLimitMs))
        << "the key did not uninstall the selected row";
    EXPECT_TRUE(NoDialogFor(3000));  // the end of the uninstall has arrived by now
  }

  ::DeleteFileW(ran.c_str());
  FocusMainWindow();
  TypeText(L"zz");
  ASSERT_TRUE(WaitUntil([&] { return List().Rows.empty(); }, kStepLimitMs));
  PressKey(VK_RETURN);
  ExpectInfo(InfoText(L"NoProgramSelected"), "Enter on a hidden row");
  ::Sleep(kNothingShownMs);
  EXPECT_FALSE(PathExists(ran)) << "a hidden row was uninstalled";
}

// Uninstalling Quor Uninstaller from its own list, here a copy of it in a
// folder of its own: it warns first (No is the default), and once its
// uninstaller has run it names its executables, which are deleted when it
// has ended, with its folder, and its settings file is not written again.
TEST_F(CommandsE2E, UninstallingItselfWarnsAndLeavesNothingBehind) {
  TempFolder base(L"QuorCmdSelf");
  const std::wstring folder = base.MakeFolder(L"Quor Uninstaller");
  const std::wstring gui = folder + L"\\QuorUninstaller.exe", cli = folder + L"\\quor.exe";
  ASSERT_TRUE(::CopyFileW(ProgramPath().c_str(), gui.c_str(), FALSE));
  ASSERT_TRUE(::CopyFileW((ExeFolder() + L"\\quor.exe").c_str(), cli.c_str(), FALSE));
  const std::wstring languages = base.MakeFolder(L"Quor Uninstaller\\Languages");
  const std::wstring english = languages + L"\\English.ini";
  ASSERT_TRUE(
      ::CopyFileW((ExeFolder() + L"\\Languages\\English.ini").c_str(), english.c_str(), FALSE));
  TProgramSpec spec = Spec(L"Self");
  spec.Files = 0;
  const TTestProgram self(spec, L"QuorCmdTest-Z");
  self.SetValue(L"InstallLocation", folder + L"\\");
  // Its uninstaller takes away what it installed: the registration and the
  // language files; the running executables stay.
  self.SetValue(L"UninstallString",
                HelperCommand(L"--delete-key \"HKEY_CURRENT_USER\\" + self.KeyPath() + L"\""));

  FProgram = std::make_unique<TGuiProgram>(gui);
  ASSERT_TRUE(FProgram->Started());
  ASSERT_TRUE(WaitUntil(
      [&] {
        return FProgram->ListWindow() && Listed(self) && ::IsWindowEnabled(FProgram->MainWindow());
      },
      kStartLimitMs));
  SelectRow(self);
  const std::wstring warning = NamedQuestion(L"SelfUninstall", {self.DisplayName()});
  ClickCommand(cmdNormal);
  HWND box = WaitForMessageBox();
  ASSERT_NE(box, nullptr) << "no warning before uninstalling itself";
  EXPECT_EQ(WindowText(box), warning);
  ASSERT_TRUE(Answer(box, TAnswer::Enter));
  ASSERT_TRUE(InputHandled());
  EXPECT_TRUE(self.RegistrationExists()) << "No uninstalled it";

  ClickCommand(cmdNormal);
  box = WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(WindowText(box), warning);
  ASSERT_TRUE(::DeleteFileW(english.c_str()) && ::RemoveDirectoryW(languages.c_str()));
  ASSERT_TRUE(Answer(box, TAnswer::OtherButton));
  // The scan after the uninstaller finds nothing of its own folder, which it
  // never takes: the files are named as they stay.
  box = WaitForMessageBox();
  ASSERT_NE(box, nullptr) << "the end of its own uninstall told nothing";
  EXPECT_FALSE(self.RegistrationExists());
  EXPECT_EQ(WindowText(box), EnglishText(L"Translation", L"Information") + L"\r\n" +
                                 EnglishText(L"Message", L"SelfScheduled") + L"\r\n" + gui +
                                 L"\r\n" + cli);
  ASSERT_TRUE(Answer(box, TAnswer::Enter));
  EXPECT_TRUE(PathExists(gui)) << "deleted while it runs";

  ::PostMessageW(FProgram->MainWindow(), WM_CLOSE, 0, 0);
  EXPECT_EQ(FProgram->WaitForExit(kStepLimitMs), std::optional<DWORD>(0));
  EXPECT_TRUE(WaitUntil([&] { return !PathExists(folder); }, kStepLimitMs))
      << "its folder stays: executable " << PathExists(gui) << ", command line tool "
      << PathExists(cli);
  EXPECT_FALSE(PathExists(ConfigPath())) << "its settings file was written again";
}

// The leftover flow through its dialogs: the progress dialog's Cancel at its
// place in the dialog's client area; the review's controls by their names.
constexpr POINT kProgressCancel{136 + 60, 78 + 12};
// The review's tree: a group row 32 pixels high, an item row 22, 2 between
// rows; an item's check box (16 square) 26 pixels in from the tree's left.
constexpr int kGroupRowHeight = 32, kItemRowHeight = 22, kRowGap = 2, kItemCheckCentreX = 26 + 8;

std::wstring LocalAppDataFolder() {
  wchar_t path[MAX_PATH] = {};
  ::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path);
  return path;
}

std::wstring AppDataFolder() {
  wchar_t path[MAX_PATH] = {};
  ::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path);
  return path;
}

// The review's tree as its window reads: a line per shown row, a tab before
// an item, then its tick ("[x] ", "[ ] " or "[-] ") and its text.
struct TReviewLine {
  bool Item = false;
  std::wstring Tick, Text;
};

std::vector<TReviewLine> ReviewLines(const std::wstring& text) {
  std::vector<TReviewLine> lines;
  for (size_t at = 0; at <= text.size();) {
    size_t end = text.find(L"\r\n", at);
    if (end == std::wstring::npos) end = text.size();
    std::wstring line = text.substr(at, end - at);
    TReviewLine parsed;
    parsed.Item = line.starts_with(L'\t');
    if (parsed.Item) line.erase(0, 1);
    parsed.Tick = line.substr(0, 4);
    parsed.Text = line.size() > 4 ? line.substr(4) : L"";
    if (!line.empty()) lines.push_back(parsed);
    at = end + 2;
  }
  return lines;
}

// A control of a dialog by its name (the title its window was made with).
HWND ControlNamed(HWND dialog, const wchar_t* name) {
  struct TSearch {
    const wchar_t* Name;
    HWND Found = nullptr;
  } search{name};
  ::EnumChildWindows(
      dialog,
      [](HWND child, LPARAM l) -> BOOL {
        auto* s = reinterpret_cast<TSearch*>(l);
        wchar_t title[64] = {};
        ::InternalGetWindowText(child, title, 64);
        if (std::wstring(title) == s->Name) s->Found = child;
        return s->Found == nullptr;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

// The summary after a removal: its three counts and the backup set's line.
std::wstring SummaryCounts(size_t removed, size_t kept, size_t failed) {
  auto line = [](const wchar_t* key, size_t n) {
    std::wstring text = EnglishText(L"Uninstall", key);
    return text.replace(text.find(L"%d"), 2, std::to_wstring(n));
  };
  return line(L"SummaryRemoved", removed) + L"\n" + line(L"SummaryKept", kept) + L"\n" +
         line(L"SummaryFailed", failed);
}
std::wstring BackupSetLine() {
  std::wstring text = EnglishText(L"Uninstall", L"SummaryBackupSet");
  return text.substr(0, text.find(L"%s"));
}

class LeftoverFlowE2E : public CommandsE2E {
 protected:
  // The open dialog that is not a message box (the progress dialog or the
  // review), once there is one.
  HWND WaitForWindowDialog() {
    HWND found = nullptr;
    WaitUntil(
        [&] {
          for (HWND dialog : FProgram->Dialogs())
            if (WindowText(dialog).find(L"\r\n") == std::wstring::npos) found = dialog;
          return found != nullptr;
        },
        kStepLimitMs);
    return found;
  }

  // The review once it shows its rows: the dialog and its tree.
  std::pair<HWND, HWND> WaitForReview() {
    std::pair<HWND, HWND> review{};
    WaitUntil(
        [&] {
          for (HWND dialog : FProgram->Dialogs()) {
            const HWND tree = ControlNamed(dialog, L"lvlist");
            if (tree && !WindowText(tree).empty()) review = {dialog, tree};
          }
          return review.first != nullptr;
        },
        kStepLimitMs);
    return review;
  }

  // The message box that ends a removal after the review: its summary.
  HWND WaitForTheRemovalsEnd() { return WaitForMessageBox(); }

  // Clicks the review's control named `name` in its middle.
  void ClickControl(HWND review, const wchar_t* name) {
    const HWND control = ControlNamed(review, name);
    ASSERT_NE(control, nullptr) << "the review has no " << Ascii(name);
    ASSERT_TRUE(BringToFront(review));
    ClickAt(CentreOf(ScreenRect(control)));
  }

  void ClickInClient(HWND window, POINT client) {
    ASSERT_TRUE(BringToFront(::GetAncestor(window, GA_ROOT)));
    ::ClientToScreen(window, &client);
    ClickAt(client);
  }

  // Clicks the check box of the tree's row `index` (as ReviewLines numbers them).
  void ClickItemCheck(HWND tree, const std::vector<TReviewLine>& lines, size_t index) {
    int top = 0;
    for (size_t i = 0; i < index; ++i)
      top += (lines[i].Item ? kItemRowHeight : kGroupRowHeight) + kRowGap;
    ClickInClient(tree, {kItemCheckCentreX, top + kItemRowHeight / 2});
  }

  void ForceUninstall(const TTestProgram& program) {
    SelectRow(program);
    ClickCommand(cmdForce);
    const HWND question = WaitForMessageBox();
    ASSERT_NE(question, nullptr) << "Force Uninstall asked nothing";
    EXPECT_EQ(WindowText(question), NamedQuestion(L"ConfirmForce", {program.DisplayName()}));
    ASSERT_TRUE(Answer(question, TAnswer::OtherButton));
  }
};

// Normal Uninstall of a program whose uninstaller is missing, or that has
// none, says so, naming the program and what is missing, and offers Force
// Uninstall: No (the default) does nothing, Yes starts the scan, whose
// review lists the install folder. Nothing is removed until the review says so.
TEST_F(LeftoverFlowE2E, AMissingUninstallerIsToldAndForceUninstallOffered) {
  struct TCase {
    const char* Name;
    const wchar_t* Suffix;
    bool HasCommand;
  };
  const TCase cases[] = {
      {"an uninstaller file that is missing", L"Missing", true},
      {"no uninstall command at all", L"Commandless", false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const TTestProgram program(Spec(c.Suffix), L"QuorCmdTest-U");
    const std::wstring uninstaller = program.FolderPath() + L"\\gone\\uninst.exe";
    if (c.HasCommand) program.SetValue(L"UninstallString", L"\"" + uninstaller + L"\" /S");
    const std::wstring what =
        c.HasCommand ? Filled(EnglishText(L"Message", L"UninstallerFileMissing"), {uninstaller})
                     : EnglishText(L"Message", L"NoUninstallCommand");
    const std::wstring expected =
        NamedQuestion(L"UninstallerMissing", {program.DisplayName(), what});
    Start({&program});
    SelectRow(program);

    ClickCommand(cmdNormal);
    HWND box = WaitForMessageBox();
    ASSERT_NE(box, nullptr) << "nothing was told";
    EXPECT_EQ(WindowText(box), expected);
    ASSERT_TRUE(Answer(box, TAnswer::Enter));
    ASSERT_TRUE(InputHandled());
    EXPECT_TRUE(FProgram->Dialogs().empty()) << "No went on";

    ClickCommand(cmdNormal);
    box = WaitForMessageBox();
    ASSERT_NE(box, nullptr) << "nothing was told the second time";
    EXPECT_EQ(WindowText(box), expected);
    ASSERT_TRUE(Answer(box, TAnswer::OtherButton));
    const auto [review, tree] = WaitForReview();
    ASSERT_NE(review, nullptr) << "Yes did not start Force Uninstall";
    EXPECT_NE(WindowText(tree).find(program.FolderPath() + L"\\file0.bin"), std::wstring::npos);
    ::PostMessageW(review, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return FProgram->Dialogs().empty(); }, kStepLimitMs))
        << "the review does not close";
    ASSERT_TRUE(InputHandled());
    EXPECT_TRUE(program.RegistrationExists());
    EXPECT_TRUE(PathExists(program.FolderPath() + L"\\file0.bin"));
    ::PostMessageW(FProgram->MainWindow(), WM_CLOSE, 0, 0);
    EXPECT_EQ(FProgram->WaitForExit(kStepLimitMs), std::optional<DWORD>(0));
  }
}

TEST_F(LeftoverFlowE2E, CancelDuringTheScanShowsNoReview) {
  // Many folders keep the scan busy long enough to be cancelled.
  TProgramSpec spec = Spec(L"Cancelled");
  spec.EmptyFolders = 3000;
  const TTestProgram program(spec, L"QuorCmdTest-L");
  Start({&program});
  ForceUninstall(program);
  if (HasFatalFailure()) return;
  const HWND progress = WaitForWindowDialog();
  ASSERT_NE(progress, nullptr) << "no progress dialog";
  ShootWindowIfAsked(progress, L"progress-dialog");
  ClickInClient(progress, kProgressCancel);
  EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(progress) || !::IsWindowVisible(progress); },
                        kStepLimitMs))
      << "Cancel left the progress dialog open";
  EXPECT_TRUE(NoDialogFor(3000)) << "a cancelled scan went on";
  EXPECT_TRUE(Listed(program));
  EXPECT_TRUE(program.RegistrationExists());
  EXPECT_TRUE(PathExists(program.FolderPath()));
}

// Force Uninstall of a program whose uninstaller is missing goes straight
// to the scan, which finds the install folder. A file that another process
// holds open cannot be deleted: the message after the removal names it, and
// the row goes only because the registration did.
TEST_F(LeftoverFlowE2E, AFileHeldOpenIsNamedAfterTheRemoval) {
  {
    // Wine 8 moves a folder that holds a file another handle holds open
    // (Windows refuses): there the file goes with its folder.
    TempFolder probe(L"QuorHeldProbe");
    const std::wstring file = probe.MakeFile(L"dir\\held.bin");
    UniqueKernelHandle holder(::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);
    if (::MoveFileExW((probe / L"dir").c_str(), (probe / L"moved").c_str(), 0))
      GTEST_SKIP() << "this system moves a folder that holds a file held open";
  }
  const TTestProgram program(Spec(L"Held"), L"QuorCmdTest-L");
  program.SetValue(L"UninstallString", L"\"" + program.FolderPath() + L"\\missing\\uninst.exe\"");
  const std::wstring held = program.FolderPath() + L"\\file0.bin";
  UniqueKernelHandle open(::CreateFileW(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(open) << "cannot hold the file open";
  Start({&program});
  ForceUninstall(program);
  if (HasFatalFailure()) return;
  const auto [review, tree] = WaitForReview();
  ASSERT_NE(review, nullptr) << "no review";
  const std::wstring shown = WindowText(tree);
  EXPECT_NE(shown.find(L"\t[x] " + held + L"\t"), std::wstring::npos) << Ascii(shown);
  ClickControl(review, L"btnremove");
  const HWND box = WaitForTheRemovalsEnd();
  EXPECT_TRUE(PathExists(held)) << "the held file was deleted";
  ASSERT_NE(box, nullptr) << "the removal told nothing";
  const std::wstring text = WindowText(box);
  EXPECT_TRUE(text.starts_with(EnglishText(L"Translation", L"Warning") + L"\r\n")) << Ascii(text);
  EXPECT_NE(text.find(L"\n\n" + EnglishText(L"Uninstall", L"RemoveFailed") + L"\n"),
            std::wstring::npos)
      << Ascii(text);
  EXPECT_NE(text.find(L"file0.bin"), std::wstring::npos) << Ascii(text);
  ASSERT_TRUE(Answer(box, TAnswer::Enter));
  EXPECT_TRUE(PathExists(held));
  EXPECT_FALSE(program.RegistrationExists()) << "the ticked registration stays";
  EXPECT_TRUE(WaitUntil([&] { return !Listed(program); }, kStepLimitMs))
      << "the row stays though its registration has gone";
}

// The whole flow after a normal uninstall whose uninstaller relaunches
// itself and deletes the registration: the review lists what the scan found
// in its two groups, counting the ticked items; a weak match starts
// unticked; Remove takes away what is ticked and nothing else.
TEST_F(LeftoverFlowE2E, TheReviewRemovesWhatIsTickedAndNothingElse) {
  const TTestProgram program(Spec(L"Flow"), L"QuorCmdTest-R");
  const std::wstring name = program.DisplayName();
  const TempFolder data(TempFolder::At{AppDataFolder(), name});
  const std::wstring settings = data.MakeFile(L"settings.ini");
  // The program's name inside a longer word: a weak match.
  const TempFolder weak(TempFolder::At{AppDataFolder(), name + L"er"});
  const TempFolder canary(TempFolder::At{AppDataFolder(), Tag() + L"Canary"});
  const std::wstring canaryFile = canary.MakeFile(L"keep.txt");
  const TempKey settingsKey(HKEY_CURRENT_USER, L"Software\\" + name);
  settingsKey.SetString(L"Theme", L"dark");
  const TempKey canaryKey(HKEY_CURRENT_USER, L"Software\\" + Tag() + L"Canary");
  TempFolder marks(L"QuorCmdMarks");
  const std::wstring ran = marks / L"ran.txt";
  program.SetValue(L"UninstallString",
                   HelperCommand(L"--relaunch --sleep 1000 --delete-key \"HKEY_CURRENT_USER\\" +
                                 program.KeyPath() + L"\" --marker \"" + ran + L"\""));
  Start({&program});
  SelectRow(program);
  ClickCommand(cmdNormal);
  const auto [review, tree] = WaitForReview();
  ASSERT_NE(review, nullptr) << "no review after the uninstaller removed its registration";
  EXPECT_TRUE(PathExists(ran));
  ShootWindowIfAsked(review, L"leftover-review");
  std::vector<TReviewLine> lines = ReviewLines(WindowText(tree));

  struct TExpected {
    const char* What;
    std::wstring Text;  // an item's path, before its reason
    const wchar_t* Tick;
  };
  const std::wstring keyText = L"HKEY_CURRENT_USER\\Software\\" + name;
  const TExpected expected[] = {
      {"the install folder", program.FolderPath() + L"\\", L"[x] "},
      {"its file", program.FolderPath() + L"\\file0.bin", L"[x] "},
      {"the data folder", data.Path() + L"\\", L"[x] "},
      {"its file", settings, L"[x] "},
      {"the weak folder", weak.Path() + L"\\", L"[ ] "},
      {"the settings key", keyText, L"[x] "},
  };
  auto find = [&](const std::wstring& text) {
    for (size_t i = 0; i < lines.size(); ++i)
      if (lines[i].Item && lines[i].Text.starts_with(text + L"\t")) return i;
    return lines.size();
  };
  for (const TExpected& e : expected) {
    const size_t i = find(e.Text);
    ASSERT_LT(i, lines.size()) << e.What << " is not listed: " << Ascii(e.Text);
    EXPECT_EQ(lines[i].Tick, e.Tick) << e.What;
  }
  for (const TReviewLine& line : lines)
    EXPECT_EQ(line.Text.find(Tag() + L"Canary"), std::wstring::npos) << "the canary is listed";

  // A group row reads "<group> (<ticked items> Items)".
  auto groupText = [&](const wchar_t* key, const wchar_t* word) {
    size_t ticked = 0, group = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
      if (!lines[i].Item) group = i;
      if (lines[i].Item && lines[i].Tick == L"[x] " &&
          lines[group].Text.starts_with(EnglishText(L"Uninstall", key)))
        ++ticked;
    }
    return EnglishText(L"Uninstall", key) + L" (" + std::to_wstring(ticked) + L" " + word + L")";
  };
  const std::wstring items = EnglishText(L"Uninstall", L"Items");
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front().Text, groupText(L"Files", items.c_str()));
  EXPECT_EQ(lines.front().Tick, L"[-] ") << "the weak folder leaves its group partly ticked";

  // Untick the settings key with its check box.
  ClickItemCheck(tree, lines, find(keyText));
  ASSERT_TRUE(WaitUntil(
      [&] {
        lines = ReviewLines(WindowText(tree));
        const size_t i = find(keyText);
        return i < lines.size() && lines[i].Tick == L"[ ] ";
      },
      kStepLimitMs))
      << "the check box did not untick the key";
  const std::wstring regCount = groupText(L"RegEntries", items.c_str());
  EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                          [&](const TReviewLine& l) { return !l.Item && l.Text == regCount; }))
      << "no group row reads " << Ascii(regCount);

  lines = ReviewLines(WindowText(tree));
  const auto ticked = size_t(std::count_if(lines.begin(), lines.end(), [](const TReviewLine& l) {
    return l.Item && l.Tick == L"[x] ";
  }));
  const auto unticked = size_t(std::count_if(lines.begin(), lines.end(), [](const TReviewLine& l) {
    return l.Item && l.Tick == L"[ ] ";
  }));
  ClickControl(review, L"btnremove");
  // One summary: every ticked item removed, every unticked one kept, and
  // the backup set that holds what went.
  const HWND box = WaitForTheRemovalsEnd();
  ASSERT_NE(box, nullptr) << "the removal told nothing";
  const std::wstring summary = WindowText(box);
  const std::wstring head = EnglishText(L"Translation", L"Information") + L"\r\n" +
                            SummaryCounts(ticked, unticked, 0) + L"\n\n" + BackupSetLine();
  ASSERT_TRUE(summary.starts_with(head)) << Ascii(summary) << "\nexpected: " << Ascii(head);
  const std::wstring set = summary.substr(head.size());
  EXPECT_TRUE(PathExists(LocalAppDataFolder() + L"\\Quor Uninstaller\\Backups\\" + set))
      << "no backup set " << Ascii(set);
  ASSERT_TRUE(Answer(box, TAnswer::Enter));
  EXPECT_TRUE(WaitUntil([&] { return FProgram->Dialogs().empty(); }, kStepLimitMs))
      << "the removal does not end";
  EXPECT_FALSE(Listed(program)) << "the row stays";
  EXPECT_FALSE(PathExists(program.FolderPath()));
  EXPECT_FALSE(PathExists(data.Path()));
  EXPECT_TRUE(PathExists(weak.Path())) << "the unticked weak folder went";
  EXPECT_TRUE(PathExists(canaryFile)) << "the canary went";
  HKEY key = nullptr;
  for (const TempKey* k : {&settingsKey, &canaryKey}) {
    EXPECT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, k->Path().c_str(), 0, KEY_READ, &key),
              ERROR_SUCCESS)
        << "an unticked key went: " << Ascii(k->Path());
    UniqueRegKey owned(key);
  }
}

// The text of a review line up to its first tab: an item's path.
std::wstring PathOf(const TReviewLine& line) { return line.Text.substr(0, line.Text.find(L'\t')); }

// The hint window of the program that shows now, or null.
HWND ShownHint(DWORD process) {
  HWND found = nullptr;
  for (HWND w = ::FindWindowExW(nullptr, nullptr, L"tooltips_class32", nullptr); w && !found;
       w = ::FindWindowExW(nullptr, w, L"tooltips_class32", nullptr)) {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(w, &owner);
    if (owner == process && ::IsWindowVisible(w)) found = w;
  }
  return found;
}

// Resting the pointer on the review's rows, straight from one row to the
// next, shows each cut row's whole path in the hint and leaves every row's
// text as it was; Remove then ends with the window alive. Three times in
// one process: what a hover damages shows at the latest when the review
// and its rows are destroyed.
TEST_F(LeftoverFlowE2E, HoveringEveryRowLeavesEveryRowTrueAndTheWindowAlive) {
  const std::wstring longName(90, L'n');
  struct TRound {
    std::unique_ptr<TTestProgram> Program;
    std::unique_ptr<TempFolder> Deep;
    std::vector<std::wstring> Files;
  };
  std::vector<TRound> rounds(3);
  for (size_t r = 0; r < rounds.size(); ++r) {
    TRound& round = rounds[r];
    round.Program =
        std::make_unique<TTestProgram>(Spec(L"Hover" + std::to_wstring(r)), L"QuorCmdTest-H");
    round.Deep = std::make_unique<TempFolder>(
        TempFolder::At{round.Program->FolderPath(), L"a folder whose name is long " + longName});
    for (const wchar_t* stem : {L"first ", L"second ", L"third "})
      round.Files.push_back(
          round.Deep->MakeFile(stem + longName + L".dat", std::string(3000, 'h')));
  }
  Start({rounds[0].Program.get(), rounds[1].Program.get(), rounds[2].Program.get()});
  for (size_t r = 0; r < rounds.size(); ++r) {
    SCOPED_TRACE(testing::Message() << "round " << r);
    const TTestProgram& program = *rounds[r].Program;
    const std::vector<std::wstring>& files = rounds[r].Files;
    ForceUninstall(program);
    if (HasFatalFailure()) return;
    const auto [review, tree] = WaitForReview();
    ASSERT_NE(review, nullptr) << "no review";
    const std::vector<TReviewLine> before = ReviewLines(WindowText(tree));
    for (const std::wstring& file : files)
      ASSERT_TRUE(std::any_of(before.begin(), before.end(),
                              [&](const TReviewLine& l) { return l.Item && PathOf(l) == file; }))
          << "not listed: " << Ascii(file);
    ASSERT_TRUE(BringToFront(review));
    DWORD process = 0;
    ::GetWindowThreadProcessId(review, &process);
    int top = 0;
    for (const TReviewLine& line : before) {
      const int height = line.Item ? kItemRowHeight : kGroupRowHeight;
      POINT at{150, top + height / 2};
      top += height + kRowGap;
      if (!line.Item) continue;
      ::ClientToScreen(tree, &at);
      MoveMouseTo(at);
      const std::wstring path = PathOf(line);
      // A path this long never fits: its hint tells it whole.
      if (path.size() > 100) {
        ASSERT_TRUE(WaitUntil([&] { return WindowText(ShownHint(process)) == path; }, kStepLimitMs))
            << "the hint does not show " << Ascii(path) << " but "
            << Ascii(WindowText(ShownHint(process)));
      }
      const std::vector<TReviewLine> now = ReviewLines(WindowText(tree));
      ASSERT_EQ(now.size(), before.size()) << "rows came or went while hovering";
      for (size_t i = 0; i < now.size(); ++i)
        ASSERT_EQ(Ascii(PathOf(now[i])), Ascii(PathOf(before[i])))
            << "row " << i << " changed while hovering";
    }
    ClickControl(review, L"btnremove");
    const HWND box = WaitForTheRemovalsEnd();
    ASSERT_TRUE(FProgram->Running()) << "the program ended after the review";
    ASSERT_NE(box, nullptr) << "no summary after the removal";
    EXPECT_NE(WindowText(box).find(SummaryCounts(before.size() - 2, 0, 0)), std::wstring::npos)
        << Ascii(WindowText(box));
    ASSERT_TRUE(Answer(box, TAnswer::Enter));
    EXPECT_FALSE(PathExists(program.FolderPath())) << "the removal did not complete";
    EXPECT_TRUE(WaitUntil([&] { return !Listed(program); }, kStepLimitMs)) << "the row stays";
  }
}

// The review with the keyboard and its menu: as it opens, Home, Down and
// Space untick the first item; the right button's menu copies an item's
// path; Escape leaves with nothing removed.
TEST_F(LeftoverFlowE2E, TheReviewAnswersTheKeyboardAndItsMenu) {
  const TTestProgram program(Spec(L"Keys"), L"QuorCmdTest-K");
  Start({&program});
  ForceUninstall(program);
  if (HasFatalFailure()) return;
  const auto [review, tree] = WaitForReview();
  ASSERT_NE(review, nullptr) << "no review";
  std::vector<TReviewLine> lines = ReviewLines(WindowText(tree));
  ASSERT_GE(lines.size(), 4u);
  ASSERT_TRUE(lines[1].Item);
  ASSERT_EQ(lines[1].Tick, L"[x] ");
  ASSERT_TRUE(BringToFront(review));
  PressKey(VK_HOME);
  PressKey(VK_DOWN);
  PressKey(VK_SPACE);
  EXPECT_TRUE(WaitUntil(
      [&] {
        lines = ReviewLines(WindowText(tree));
        return lines.size() > 1 && lines[1].Tick == L"[ ] ";
      },
      kStepLimitMs))
      << "Home, Down and Space did not untick the first item";
  ASSERT_FALSE(FProgram->Dialogs().empty()) << "a key left the review";

  // The last row, an item of the registry group: its menu's second item.
  int top = 0;
  for (size_t i = 0; i + 1 < lines.size(); ++i)
    top += (lines[i].Item ? kItemRowHeight : kGroupRowHeight) + kRowGap;
  POINT at{150, top + kItemRowHeight / 2};
  ::ClientToScreen(tree, &at);
  RightClickAt(at);
  std::vector<HWND> levels;
  ASSERT_TRUE(
      WaitUntil([&] { return (levels = FProgram->MenuLevels()).size() == 1; }, kStepLimitMs))
      << "the right button opened no menu";
  const RECT menu = ScreenRect(levels[0]);
  ClickAt({(menu.left + menu.right) / 2,
           menu.top + kMenuFirstItemTop + kMenuItemPitch + kMenuItemHeight / 2});
  const std::wstring path = PathOf(lines.back());
  auto clipboard = [] {
    std::wstring text;
    if (!::OpenClipboard(nullptr)) return text;
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
      if (auto* p = static_cast<const wchar_t*>(::GlobalLock(data))) text = p;
      ::GlobalUnlock(data);
    }
    ::CloseClipboard();
    return text;
  };
  EXPECT_TRUE(WaitUntil([&] { return clipboard() == path; }, kStepLimitMs))
      << "Copy Path did not copy " << Ascii(path) << " but " << Ascii(clipboard());

  ASSERT_TRUE(BringToFront(review));
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(WaitUntil([&] { return FProgram->Dialogs().empty(); }, kStepLimitMs))
      << "Escape left the review open";
  EXPECT_TRUE(PathExists(program.FolderPath())) << "Escape removed something";
  EXPECT_TRUE(program.RegistrationExists());
  EXPECT_TRUE(Listed(program));
}

// Open registry entry starts the registry editor; the test closes it again.
TEST_F(LeftoverFlowE2E, OpenRegistryEntryStartsTheEditor) {
  const TTestProgram program(Spec(L"Entry"), L"QuorCmdTest-E");
  Start({&program});
  SelectRow(program);
  const std::vector<HWND> levels = OpenContextMenu();
  ASSERT_EQ(levels.size(), 1u) << "the Apps key opened no menu";
  PointAtMenuItem(levels[0], miOpenEntry);
  const RECT r = ScreenRect(levels[0]);
  ClickAt({(r.left + r.right) / 2,
           r.top + kMenuFirstItemTop + int(miOpenEntry) * kMenuItemPitch + kMenuItemHeight / 2});
  HWND editor = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (editor = ::FindWindowW(L"RegEdit_RegEdit", nullptr)); },
                        kStartLimitMs))
      << "no registry editor";
  DWORD editorProcess = 0;
  ::GetWindowThreadProcessId(editor, &editorProcess);
  UniqueKernelHandle process(::OpenProcess(SYNCHRONIZE, FALSE, editorProcess));
  ::PostMessageW(editor, WM_CLOSE, 0, 0);
  if (process) {
    EXPECT_EQ(::WaitForSingleObject(process.Get(), kStepLimitMs), WAIT_OBJECT_0);
  }
}

}  // namespace
}  // namespace quor::test
