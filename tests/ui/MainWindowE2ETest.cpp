// The main window as a user meets it: the real executable, started in the
// test prefix, driven with real mouse and keyboard input, and read through
// the text its list and search box give to screen readers.

#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/FileVersion.h"
#include "inventory/ProgramSize.h"
#include "support/ChildProcess.h"
#include "support/LoopbackServer.h"
#include "support/TempFolder.h"
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

// The list's layout in client pixels: the header's height and the columns'
// widths in their order (the first column takes up any extra width).
constexpr int kHeaderHeight = 19;
// The frame's transparent margin around its skin.
constexpr int kShadowMargin = 8;
constexpr int kColumnWidths[] = {200, 140, 90, 90, 90};
enum TColumn { colName, colPublisher, colSize, colDate, colVersion };

// The frame's caption buttons, drawn into the frame: from the right edge the
// close, maximise, minimise and menu buttons, 30 pixels square each.
constexpr int kCaptionButtonsRight = 10, kCaptionButtonSize = 30, kCaptionButtonsTop = 8;
enum TCaptionButton { cbClose, cbMaximise, cbMinimise, cbMenu };

// A popup-menu level: items 24 pixels high with 2 pixels between them, the
// first 6 pixels below the level's top, the last 8 pixels above its bottom.
constexpr int kMenuItemPitch = 26, kMenuFirstItemTop = 6, kMenuLastItemGap = 8,
              kMenuItemHeight = 24;

// This run's programs all start with this text, and no other row does.
const std::wstring& Tag() {
  static const std::wstring tag = L"QuorUiTest" + std::to_wstring(::GetCurrentProcessId());
  return tag;
}

std::wstring Named(const std::wstring& suffix) { return Tag() + L" " + suffix; }

// A word that only Beta's publisher holds.
const std::wstring& PublisherWord() {
  static const std::wstring word = L"Marmoset" + std::to_wstring(::GetCurrentProcessId());
  return word;
}

std::wstring LanguageFile(const std::wstring& language) {
  return ExeFolder() + L"\\Languages\\" + language + L".ini";
}

std::wstring IniValue(const std::wstring& file, const wchar_t* section, const wchar_t* key) {
  wchar_t value[256] = {};
  ::GetPrivateProfileStringW(section, key, L"", value, 256, file.c_str());
  return value;
}

// The column titles as a language file gives them.
std::vector<std::wstring> ColumnTitles(const std::wstring& language) {
  std::vector<std::wstring> titles;
  for (const wchar_t* key : {L"ItemName", L"Publisher", L"Size", L"SetupDate", L"Version"})
    titles.push_back(IniValue(LanguageFile(language), L"Uninstall", key));
  return titles;
}

std::wstring ConfigPath() {
  wchar_t appData[MAX_PATH] = {};
  ::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData);
  return std::wstring(appData) + L"\\Quor Uninstaller\\Config.ini";
}

// The language names in the order the program lists its language files.
std::vector<std::wstring> LanguageNames() {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW data{};
  UniqueFindHandle find(::FindFirstFileW((ExeFolder() + L"\\Languages\\*.ini").c_str(), &data));
  if (!find) return names;
  do {
    std::wstring name = data.cFileName;
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name.ends_with(L".ini"))
      names.push_back(name.substr(0, name.size() - 4));
  } while (::FindNextFileW(find.Get(), &data));
  return names;
}

std::wstring Lower(std::wstring text) {
  for (wchar_t& c : text)
    if (c >= L'A' && c <= L'Z') c = wchar_t(c - L'A' + L'a');
  return text;
}

std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += c < 128 ? char(c) : '?';
  return out;
}

std::string Describe(const TListText& list) {
  std::string text;
  for (const TListRow& row : list.Rows)
    text += "\n  " + Narrow(row.Name) + " | " + Narrow(row.Publisher) + " | " + Narrow(row.Size);
  return text.empty() ? "\n  (no rows)" : text;
}

// A plain window of the test, to stand in front of the program.
class TOtherWindow {
 public:
  TOtherWindow() {
    static const ATOM cls = [] {
      WNDCLASSW wc{};
      wc.lpfnWndProc = ::DefWindowProcW;
      wc.hInstance = ::GetModuleHandleW(nullptr);
      wc.lpszClassName = L"QuorUiTestOtherWindow";
      return ::RegisterClassW(&wc);
    }();
    FHandle =
        ::CreateWindowExW(0, MAKEINTATOM(cls), L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                          200, 150, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
  }
  ~TOtherWindow() {
    if (FHandle) ::DestroyWindow(FHandle);
  }
  TOtherWindow(const TOtherWindow&) = delete;
  TOtherWindow& operator=(const TOtherWindow&) = delete;
  HWND Handle() const { return FHandle; }

 private:
  HWND FHandle = nullptr;
};

class MainWindowE2E : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    FSavedConfig = std::make_unique<TSavedFile>(ConfigPath());
    const TProgramSpec specs[] = {
        {Named(L"Alpha"), L"Fabrikam Tools", L"1.0.4", L"20230105", 1, 12345},
        {Named(L"Beta"), PublisherWord() + L" Works", L"2.5", L"20221120", 1, 300000},
        {Named(L"Gamma"), L"Northwind Apps", L"3.1", L"20240229", 1, 1500000},
        {Named(L"Delta"), L"Contoso Software", L"0.9", L"20210710", 1, 40000},
    };
    for (const TProgramSpec& spec : specs)
      FPrograms.push_back(std::make_unique<TTestProgram>(spec, L"QuorUiTest-B"));
  }

  static void TearDownTestSuite() {
    FPrograms.clear();
    FSavedConfig.reset();
  }

  void SetUp() override {
    // A config.ini beside the executable would take the place of the user's one.
    ASSERT_FALSE(PathExists(ExeFolder() + L"\\config.ini"))
        << "a config.ini beside QuorUninstaller.exe overrides the settings under test";
    ::DeleteFileW(ConfigPath().c_str());
  }

  // A program that a failed test left running is ended by force; otherwise
  // it is closed as a user closes it, and must end.
  void TearDown() override {
    if (!FProgram || !FProgram->Running()) return;
    if (HasFailure()) {
      FProgram->Kill();
      return;
    }
    EXPECT_EQ(Close(), std::optional<DWORD>(0));
  }

  // Starts the program and waits until its list shows every test program and
  // the window takes input; with `waitForSizes`, until each row shows its
  // measured size too.
  void Start(bool waitForSizes = true) {
    FProgram = std::make_unique<TGuiProgram>();
    ASSERT_TRUE(FProgram->Started()) << "cannot start " << Narrow(ProgramPath());
    ASSERT_TRUE(WaitUntil([&] { return FProgram->ListWindow() != nullptr; }, kStartLimitMs))
        << "the main window with its list did not appear";
    ASSERT_TRUE(WaitForList(
        [](const TListText& list) {
          return list.RowsStartingWith(Tag()).size() >= FPrograms.size();
        },
        "the test programs", kStartLimitMs));
    // The busy window keeps the main window disabled until the list is filled.
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowEnabled(FProgram->MainWindow()) != FALSE; },
                          kStartLimitMs))
        << "the main window stays disabled";
    if (waitForSizes) {
      ASSERT_TRUE(WaitForSizes(AllPrograms(), kStartLimitMs));
    }
  }

  // WM_CLOSE to the main window; the exit code once the program has ended.
  std::optional<DWORD> Close() {
    ::PostMessageW(FProgram->MainWindow(), WM_CLOSE, 0, 0);
    auto code = FProgram->WaitForExit(kStepLimitMs);
    if (!code) FProgram->Kill();
    return code;
  }

  static std::vector<const TTestProgram*> AllPrograms() {
    std::vector<const TTestProgram*> all;
    for (const auto& p : FPrograms) all.push_back(p.get());
    return all;
  }

  TListText List() const { return ParseListText(WindowText(FProgram->ListWindow())); }

  // Waits until the list satisfies `done`; a failure shows the last list.
  testing::AssertionResult WaitForList(const std::function<bool(const TListText&)>& done,
                                       const char* what, DWORD limitMs = kStepLimitMs) {
    TListText last;
    if (WaitUntil([&] { return done(last = List()); }, limitMs)) return testing::AssertionSuccess();
    return testing::AssertionFailure()
           << "the list never showed " << what << "; it shows" << Describe(last);
  }

  testing::AssertionResult WaitForSizes(const std::vector<const TTestProgram*>& programs,
                                        DWORD limitMs = kStepLimitMs) {
    return WaitForList(
        [&](const TListText& list) {
          return std::all_of(programs.begin(), programs.end(), [&](const TTestProgram* p) {
            auto row = list.Row(p->DisplayName());
            return row && row->Size == p->SizeText();
          });
        },
        "each test program with its measured size", limitMs);
  }

  void FocusMainWindow() {
    ASSERT_TRUE(BringToFront(FProgram->MainWindow()))
        << "the main window does not come to the front";
  }

  std::wstring SearchText() const { return WindowText(FProgram->SearchWindow()); }

  // Types into the window (not into the search box: typing anywhere goes there).
  void TypeSearch(const std::wstring& text) {
    FocusMainWindow();
    TypeText(text);
    ASSERT_TRUE(WaitUntil([&] { return SearchText() == text; }, kStepLimitMs))
        << "the search box shows '" << Narrow(SearchText()) << "'";
  }

  void ClearSearchWithEscape() {
    FocusMainWindow();
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return SearchText().empty(); }, kStepLimitMs))
        << "Escape left '" << Narrow(SearchText()) << "' in the search box";
  }

  void ClickHeader(TColumn column) {
    FocusMainWindow();
    const RECT list = ScreenRect(FProgram->ListWindow());
    int left = list.left;
    for (int i = 0; i < column; ++i) left += kColumnWidths[i];
    ClickAt({left + kColumnWidths[column] / 2, list.top + kHeaderHeight / 2});
  }

  void ClickCaptionButton(TCaptionButton button) {
    FocusMainWindow();
    const RECT frame = ScreenRect(FProgram->FrameWindow());
    const int right = frame.right - kCaptionButtonsRight - int(button) * kCaptionButtonSize;
    ClickAt(
        {right - kCaptionButtonSize / 2, frame.top + kCaptionButtonsTop + kCaptionButtonSize / 2});
  }

  // The open menu levels once there are `count` of them.
  std::vector<HWND> WaitForMenuLevels(size_t count) {
    std::vector<HWND> levels;
    WaitUntil([&] { return (levels = FProgram->MenuLevels()).size() == count; }, kStepLimitMs);
    return levels;
  }

  // Starts the program a second time and answers its exit code. This
  // thread's window handles its messages meanwhile.
  static std::optional<DWORD> StartSecondInstance() {
    TGuiProgram second;
    if (!second.Started()) return std::nullopt;
    WaitUntil([&] { return !second.Running(); }, kStartLimitMs);
    return second.WaitForExit(0);
  }

  static inline std::unique_ptr<TSavedFile> FSavedConfig;
  static inline std::vector<std::unique_ptr<TTestProgram>> FPrograms;
  std::unique_ptr<TGuiProgram> FProgram;
};

TEST_F(MainWindowE2E, ListShowsEveryProgramWithItsMeasuredSize) {
  Start();
  const TListText list = List();
  EXPECT_EQ(list.Titles, ColumnTitles(L"English"));
  for (const auto& program : FPrograms) {
    SCOPED_TRACE(Narrow(program->DisplayName()));
    const auto row = list.Row(program->DisplayName());
    ASSERT_TRUE(row.has_value());
    EXPECT_EQ(row->Publisher, program->Publisher());
    EXPECT_EQ(row->Size, program->SizeText());
    EXPECT_EQ(row->Version, program->Version());
  }
}

// The frame shows its own title; the window's caption is what the taskbar
// shows, and the translation at start-up must leave it alone.
TEST_F(MainWindowE2E, TranslatedWindowKeepsItsTaskbarCaption) {
  Start(false);
  wchar_t caption[64] = {};
  ::GetWindowTextW(FProgram->MainWindow(), caption, 64);
  EXPECT_EQ(std::wstring(caption), L"Quor Power Unintaller");
}

TEST_F(MainWindowE2E, HeaderClicksSortTheRows) {
  Start();
  TypeSearch(Tag());
  ASSERT_TRUE(
      WaitForList([](const TListText& l) { return l.Rows.size() == 4; }, "the test rows only"));
  struct TStep {
    const char* Name;
    TColumn Column;
    std::vector<const wchar_t*> Order;
  };
  const TStep steps[] = {
      {"Size, first click: from the smallest", colSize, {L"Alpha", L"Delta", L"Beta", L"Gamma"}},
      {"Size, second click: from the largest", colSize, {L"Gamma", L"Beta", L"Delta", L"Alpha"}},
      {"Version is not sortable: nothing moves",
       colVersion,
       {L"Gamma", L"Beta", L"Delta", L"Alpha"}},
      {"Name, first click: from Z to A", colName, {L"Gamma", L"Delta", L"Beta", L"Alpha"}},
      {"Name, second click: from A to Z", colName, {L"Alpha", L"Beta", L"Delta", L"Gamma"}},
  };
  for (const TStep& step : steps) {
    SCOPED_TRACE(step.Name);
    std::vector<std::wstring> expected;
    for (const wchar_t* suffix : step.Order) expected.push_back(Named(suffix));
    ClickHeader(step.Column);
    EXPECT_TRUE(WaitForList([&](const TListText& l) { return l.Names() == expected; }, step.Name));
    // A click that sorts nothing must not sort later either.
    ::Sleep(300);
    EXPECT_EQ(List().Names(), expected);
  }
}

TEST_F(MainWindowE2E, SearchKeepsTheMatchingRowsAndEscapeShowsAllAgain) {
  Start();
  const size_t allRows = List().Rows.size();
  struct TCase {
    const char* Name;
    std::wstring Text;
    std::optional<std::vector<std::wstring>> Rows;  // nothing: every row
  };
  const TCase cases[] = {
      {"the start of every test name", Tag(),
       std::vector{Named(L"Alpha"), Named(L"Beta"), Named(L"Gamma"), Named(L"Delta")}},
      {"a word only in one publisher, in other letter case", Lower(PublisherWord()),
       std::vector{Named(L"Beta")}},
      {"a text that matches nothing", Tag() + L"Missing", std::vector<std::wstring>{}},
      {"blanks only", L"   ", std::nullopt},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TypeSearch(c.Text);
    if (c.Rows)
      EXPECT_TRUE(WaitForList([&](const TListText& l) { return l.Names() == *c.Rows; }, c.Name));
    else
      EXPECT_TRUE(
          WaitForList([&](const TListText& l) { return l.Rows.size() == allRows; }, c.Name));
    ClearSearchWithEscape();
    EXPECT_TRUE(WaitForList([&](const TListText& l) { return l.Rows.size() == allRows; },
                            "every row again after Escape"));
  }
}

TEST_F(MainWindowE2E, SecondStartBringsTheFirstForwardAndEnds) {
  Start();
  TOtherWindow other;
  ASSERT_NE(other.Handle(), nullptr);
  HWND dialog = nullptr;
  struct TCase {
    const char* Name;
    std::function<void()> Prepare;
    std::function<void()> Check;
  };
  const TCase cases[] = {
      {"while shown behind another window", [] {}, [] {}},
      {"while minimised",
       [&] {
         ClickCaptionButton(cbMinimise);
         ASSERT_TRUE(
             WaitUntil([&] { return ::IsIconic(FProgram->MainWindow()) != FALSE; }, kStepLimitMs))
             << "the minimise button did not minimise the window";
       },
       [&] {
         EXPECT_TRUE(WaitUntil([&] { return !::IsIconic(FProgram->MainWindow()); }, kStepLimitMs))
             << "the first instance stays minimised";
       }},
      {"while a dialog is open",
       [&] {
         // Enter uninstalls the selected row when it is shown: with no row
         // selected and every row hidden, it can only say so in a box.
         TypeSearch(Tag() + L"Missing");
         ASSERT_TRUE(WaitForList([](const TListText& l) { return l.Rows.empty(); }, "no rows"));
         PressKey(VK_RETURN);
         ASSERT_TRUE(WaitUntil([&] { return FProgram->Dialogs().size() == 1; }, kStepLimitMs))
             << "Enter without a selected row showed no dialog";
         dialog = FProgram->Dialogs().front();
       },
       [&] {
         EXPECT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == dialog; }, kStepLimitMs))
             << "the dialog is not in front";
         EXPECT_TRUE(::IsWindowVisible(dialog));
         PressKey(VK_ESCAPE);
         EXPECT_TRUE(WaitUntil([&] { return FProgram->Dialogs().empty(); }, kStepLimitMs))
             << "Escape did not close the dialog";
       }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    c.Prepare();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(BringToFront(other.Handle())) << "the test's own window does not come to the front";
    EXPECT_EQ(StartSecondInstance(), std::optional<DWORD>(0));
    EXPECT_EQ(AllMainWindows().size(), 1u);
    c.Check();
    EXPECT_TRUE(FProgram->Running());
  }
}

TEST_F(MainWindowE2E, ChosenLanguageRetitlesTheListAndIsSavedAtExit) {
  const std::vector<std::wstring> languages = LanguageNames();
  const auto german = std::find(languages.begin(), languages.end(), L"German");
  ASSERT_NE(german, languages.end()) << "no German language file";
  Start(false);

  ClickCaptionButton(cbMenu);
  const std::vector<HWND> root = WaitForMenuLevels(1);
  ASSERT_EQ(root.size(), 1u) << "the menu button opened no menu";
  // "Languages" is the last item but one.
  const RECT rootRect = ScreenRect(root[0]);
  MoveMouseTo({(rootRect.left + rootRect.right) / 2,
               rootRect.bottom - kMenuLastItemGap - kMenuItemPitch - kMenuItemHeight / 2});
  const std::vector<HWND> levels = WaitForMenuLevels(2);
  ASSERT_EQ(levels.size(), 2u) << "Languages opened no sub-menu";
  // The sub-menu lists the languages, then "Translate to..".
  const RECT sub = ScreenRect(levels[1]);
  ASSERT_EQ(sub.bottom - sub.top,
            kMenuFirstItemTop + kMenuLastItemGap - 2 + int(languages.size() + 1) * kMenuItemPitch)
      << "the language sub-menu is not laid out as this test expects";
  const int index = int(german - languages.begin());
  ClickAt({(sub.left + sub.right) / 2,
           sub.top + kMenuFirstItemTop + index * kMenuItemPitch + kMenuItemHeight / 2});

  const std::vector<std::wstring> titles = ColumnTitles(L"German");
  EXPECT_TRUE(WaitForList([&](const TListText& l) { return l.Titles == titles; }, "German titles"));
  EXPECT_TRUE(FProgram->MenuLevels().empty());
  EXPECT_EQ(Close(), std::optional<DWORD>(0));
  EXPECT_EQ(IniValue(ConfigPath(), L"General", L"Lang"), L"German");
}

TEST_F(MainWindowE2E, ConfiguredLanguageTitlesTheList) {
  struct TCase {
    const char* Name;
    std::optional<std::string> Lang;  // nothing: no Config.ini
    const wchar_t* Shown;
  };
  const TCase cases[] = {
      {"no settings yet", std::nullopt, L"English"},
      {"a language with its file", "German", L"German"},
      {"a language whose file is missing", "Klingon", L"English"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    ::DeleteFileW(ConfigPath().c_str());
    if (c.Lang) {
      ASSERT_TRUE(WriteWholeFile(ConfigPath(), "[General]\r\nLang=" + *c.Lang + "\r\n"));
    }
    Start(false);
    const std::vector<std::wstring> titles = ColumnTitles(c.Shown);
    EXPECT_TRUE(WaitForList([&](const TListText& l) { return l.Titles == titles; }, c.Name));
    EXPECT_EQ(Close(), std::optional<DWORD>(0));
  }
}

TEST_F(MainWindowE2E, RefreshWhileSizesAreMeasuredShowsEachSizeOnItsOwnRow) {
  // Many folders take the measurement a while (a second or so), so that the
  // size is still being measured when the refresh comes.
  const TTestProgram slow(
      {Named(L"Slow"), L"Slow Folders Inc", L"7.0", L"20200101", 1, 777777, 3000}, L"QuorUiTest-C");
  Start(false);
  const std::wstring calculating = IniValue(LanguageFile(L"English"), L"Uninstall", L"Calculating");
  ASSERT_TRUE(WaitForList(
      [&](const TListText& l) {
        auto row = l.Row(slow.DisplayName());
        return row && row->Size == calculating;
      },
      "the slow program's size being measured", kStartLimitMs));
  // A registration listed before all others moves every record's index by one.
  const TTestProgram early({Named(L"Early"), L"Early Bird Ltd", L"1.1", L"20190101", 1, 5000},
                           L"QuorUiTest-A");
  FocusMainWindow();
  PressKey(VK_F5);

  std::vector<const TTestProgram*> all = AllPrograms();
  all.push_back(&slow);
  all.push_back(&early);
  EXPECT_TRUE(WaitForSizes(all, kStartLimitMs));
  // Sizes that arrive late must not land on another row either.
  ::Sleep(1000);
  const TListText list = List();
  for (const TTestProgram* program : all) {
    SCOPED_TRACE(Narrow(program->DisplayName()));
    const auto row = list.Row(program->DisplayName());
    ASSERT_TRUE(row.has_value());
    EXPECT_EQ(row->Size, program->SizeText());
  }
}

TEST_F(MainWindowE2E, StartUpDeletesBackupsPastTheirAge) {
  struct TCase {
    const char* Name;
    const char* Config;
    std::vector<std::wstring> Left;
  };
  const TCase cases[] = {
      {"the default age of 30 days", "", {L"Recent"}},
      {"sets kept for 60 days", "[Backup]\r\nKeepDays=60\r\n", {L"Older", L"Recent"}},
      {"no age limit", "[Backup]\r\nKeepDays=0\r\n", {L"Ancient", L"Older", L"Recent"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TBackupRoot root;
    ASSERT_TRUE(root.Add(L"Ancient", 400));
    ASSERT_TRUE(root.Add(L"Older", 45));
    ASSERT_TRUE(root.Add(L"Recent", 1));
    ::DeleteFileW(ConfigPath().c_str());
    ASSERT_TRUE(WriteWholeFile(ConfigPath(), c.Config));
    Start(false);
    EXPECT_EQ(root.Programs(), c.Left);
    EXPECT_EQ(Close(), std::optional<DWORD>(0));
  }
}

// The totals line counts the rows the list holds, and while a search hides
// some, how many of them are shown, with the size of those shown.
TEST_F(MainWindowE2E, TotalsLineCountsTheShownRows) {
  Start();
  const auto totals = [&] { return WindowText(FProgram->TotalsWindow()); };
  const size_t rows = List().Rows.size();
  auto kib = [](const TTestProgram& p) { return int64_t(p.FolderBytes() / 1024); };
  int64_t all = 0;
  for (const auto& p : FPrograms) all += kib(*p);
  struct TStep {
    const char* Name;
    std::wstring Search;
    size_t Shown;  // rows shown
    int64_t KiB;   // their size; -1: not checked
  };
  const TStep steps[] = {
      {"every row", L"", rows, -1},
      {"the test rows", Tag(), FPrograms.size(), all},
      {"one row", Lower(PublisherWord()), 1, kib(*FPrograms[1])},
      {"no row", Tag() + L"Missing", 0, 0},
  };
  for (const TStep& step : steps) {
    SCOPED_TRACE(step.Name);
    if (!SearchText().empty()) ClearSearchWithEscape();
    if (!step.Search.empty()) TypeSearch(step.Search);
    const std::wstring count =
        step.Shown == rows
            ? std::to_wstring(rows) + L" programs of "
            : std::to_wstring(step.Shown) + L" of " + std::to_wstring(rows) + L" programs shown, ";
    std::wstring line;
    EXPECT_TRUE(WaitUntil([&] { return (line = totals()).starts_with(count); }, kStepLimitMs))
        << "the totals line reads \"" << Narrow(line) << "\"";
    if (step.KiB >= 0) {
      EXPECT_EQ(line, count + FormatSize(step.KiB * 1024) + L" size in total");
    }
  }
}

// Maximising and restoring repaint every column, the Publisher column and
// its header too, without the pointer over them; after the restore nothing
// of the window is left on the screen around it.
TEST_F(MainWindowE2E, MaximiseAndRestoreRepaintEveryColumn) {
  Start();
  TypeSearch(Tag());
  ASSERT_TRUE(
      WaitForList([](const TListText& l) { return l.Rows.size() == 4; }, "the test rows only"));
  const HWND list = FProgram->ListWindow();
  const HWND main = FProgram->MainWindow();
  const RECT normal = ScreenRect(main);
  const auto listWidth = [&] { return ScreenRect(list).right - ScreenRect(list).left; };
  const int normalListWidth = listWidth();
  const RECT screen{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  // Away from the window, so that no hint shows and no row is hovered.
  const POINT away{screen.left + 2, screen.top + 2};
  ASSERT_FALSE(PtInRect(&normal, away)) << "the window covers the screen's corner";
  MoveMouseTo(away);
  const TScreenPixels before = CaptureScreen(screen);

  // The Publisher column's header cell and its cells in the four rows.
  auto publisherShows = [&](const wchar_t* when) {
    const RECT l = ScreenRect(list);
    const int left = l.left + kColumnWidths[colName] + (l.right - l.left - normalListWidth);
    const RECT header{left + 2, l.top + 2, left + kColumnWidths[colPublisher] - 2,
                      l.top + kHeaderHeight - 2};
    const RECT cells{left + 2, l.top + kHeaderHeight + 2, left + kColumnWidths[colPublisher] - 2,
                     l.top + kHeaderHeight + 4 * 30 - 2};
    TScreenPixels shot;
    const bool shown = WaitUntil(
        [&] {
          shot = CaptureScreen(l);
          return shot.DarkPixels(header) > 20 && shot.DarkPixels(cells) > 80;
        },
        5000);
    if (!shown && _wgetenv(L"QUOR_WINDOW_SHOTS"))
      shot.SaveBitmap(std::wstring(_wgetenv(L"QUOR_WINDOW_SHOTS")) + L"\\publisher-" + when +
                      L".bmp");
    return shown;
  };

  ClickCaptionButton(cbMaximise);
  // The window grows first; the controls follow it.
  ASSERT_TRUE(WaitUntil([&] { return listWidth() > normalListWidth; }, kStepLimitMs))
      << "the maximise button did not maximise the window";
  MoveMouseTo(away);
  EXPECT_TRUE(publisherShows(L"maximised")) << "the Publisher column is blank after maximising";

  FocusMainWindow();
  ClickCaptionButton(cbMaximise);  // now the restore button
  ASSERT_TRUE(WaitUntil([&] { return listWidth() == normalListWidth; }, kStepLimitMs))
      << "the restore button did not restore the window";
  EXPECT_EQ(ScreenRect(main).right - ScreenRect(main).left, normal.right - normal.left);
  MoveMouseTo(away);
  EXPECT_TRUE(publisherShows(L"restored")) << "the Publisher column is blank after restoring";
  // The frame's transparent shadow margin counts as outside: only the skin
  // within it may show the window.
  RECT restored = ScreenRect(main);
  ::InflateRect(&restored, -kShadowMargin, -kShadowMargin);
  int changed = 0;
  WaitUntil(
      [&] {
        const TScreenPixels after = CaptureScreen(screen);
        changed = 0;
        for (int y = screen.top; y < screen.bottom; ++y)
          for (int x = screen.left; x < screen.right; ++x)
            if (!PtInRect(&restored, {x, y}) && after.At(x, y) != before.At(x, y)) ++changed;
        return changed == 0;
      },
      5000);
  EXPECT_EQ(changed, 0) << "pixels outside the restored window's skin changed";
}

// The "Check New Version" link, in the window's client pixels, and the list's
// place there.
constexpr POINT kCheckLinkAt{273 + 40, 445 + 11};
constexpr POINT kListAt{8, 72};

// Each answer that offers nothing new, or nothing that may be opened, ends
// in the same message; two quick clicks ask the server once.
TEST_F(MainWindowE2E, UpdateCheckSaysWhenNothingNewerIsOffered) {
  const auto version = ReadFileVersion(ProgramPath());
  ASSERT_TRUE(version.has_value());
  const std::string build = std::to_string(version->Build);
  struct TCase {
    const char* Name;
    std::string Body;
  };
  const TCase cases[] = {
      {"the running build", "[VerInfo]\r\nBuild=" + build + "\r\nShowUrl=https://x.example/\r\n"},
      {"a newer build whose page is a local program",
       "[VerInfo]\r\nBuild=65000\r\nShowUrl=C:\\windows\\system32\\winver.exe\r\n"},
  };
  const std::wstring expected = IniValue(LanguageFile(L"English"), L"Message", L"NoNewVer");
  ASSERT_FALSE(expected.empty());
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TLoopbackServer server(TLoopbackServer::TMode::Answer, c.Body);
    ASSERT_TRUE(server.Listening());
    ::DeleteFileW(ConfigPath().c_str());
    ASSERT_TRUE(WriteWholeFile(ConfigPath(), "[General]\r\nUpdateUrl=" + Narrow(server.Url()) + "\r\n"));
    Start(false);
    FocusMainWindow();
    const RECT list = ScreenRect(FProgram->ListWindow());
    const POINT link{list.left - kListAt.x + kCheckLinkAt.x, list.top - kListAt.y + kCheckLinkAt.y};
    ClickAt(link);
    ClickAt(link);
    std::wstring text;
    ASSERT_TRUE(WaitUntil(
        [&] {
          for (HWND dialog : FProgram->Dialogs())
            if ((text = WindowText(dialog)).find(L"\r\n") != std::wstring::npos) return true;
          return false;
        },
        kStepLimitMs))
        << "no message after the check";
    EXPECT_NE(text.find(expected), std::wstring::npos) << Narrow(text);
    EXPECT_EQ(server.Requests(), 1);
    PressKey(VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return FProgram->Dialogs().empty(); }, kStepLimitMs));
    EXPECT_EQ(Close(), std::optional<DWORD>(0));
  }
}

// A check that finds out nothing says that it failed, and why, rather than
// that there is no update.
TEST_F(MainWindowE2E, AFailedUpdateCheckSaysWhy) {
  const std::wstring english = LanguageFile(L"English");
  const auto failed = [&](const std::wstring& reason) {
    std::wstring text = IniValue(english, L"Message", L"UpdateFailed");
    text.replace(text.find(L"%s"), 2, reason);
    return IniValue(english, L"Translation", L"Error") + L"\r\n" + text;
  };
  std::wstring status = IniValue(english, L"Message", L"UpdateHttpStatus");
  status.replace(status.find(L"%d"), 2, L"404");
  std::wstring noConnection = IniValue(english, L"Message", L"UpdateNoConnection");
  noConnection.erase(noConnection.find(L"%s"));  // the system's own text follows
  struct TCase {
    const char* Name;
    std::optional<TLoopbackServer::TMode> Mode;  // nothing: no server at all
    std::string Body;
    std::wstring Starts;
  };
  const TCase cases[] = {
      {"no connection", std::nullopt, "", failed(noConnection)},
      {"an error status", TLoopbackServer::TMode::NotFound, "[VerInfo]\r\nBuild=65000\r\n",
       failed(status)},
      {"an answer that is no update file", TLoopbackServer::TMode::Answer,
       "<html><body>Welcome</body></html>",
       failed(IniValue(english, L"Message", L"UpdateBadAnswer"))},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    std::optional<TLoopbackServer> server;
    std::wstring url =
        L"http://127.0.0.1:" + std::to_wstring(TLoopbackServer::ClosedPort()) + L"/x";
    if (c.Mode) {
      server.emplace(*c.Mode, c.Body);
      ASSERT_TRUE(server->Listening());
      url = server->Url();
    }
    ::DeleteFileW(ConfigPath().c_str());
    ASSERT_TRUE(WriteWholeFile(ConfigPath(), "[General]\r\nUpdateUrl=" + Narrow(url) + "\r\n"));
    Start(false);
    FocusMainWindow();
    const RECT list = ScreenRect(FProgram->ListWindow());
    ClickAt({list.left - kListAt.x + kCheckLinkAt.x, list.top - kListAt.y + kCheckLinkAt.y});
    std::wstring text;
    ASSERT_TRUE(WaitUntil(
        [&] {
          for (HWND dialog : FProgram->Dialogs())
            if ((text = WindowText(dialog)).find(L"\r\n") != std::wstring::npos) return true;
          return false;
        },
        kStepLimitMs))
        << "no message after the check";
    EXPECT_TRUE(text.starts_with(c.Starts)) << Narrow(text);
    PressKey(VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return FProgram->Dialogs().empty(); }, kStepLimitMs));
    EXPECT_EQ(Close(), std::optional<DWORD>(0));
  }
}

// A server that accepts and never answers holds neither the window nor its
// closing.
TEST_F(MainWindowE2E, AHangingUpdateCheckNeitherFreezesNorHoldsTheWindow) {
  TLoopbackServer silent(TLoopbackServer::TMode::Silent);
  ASSERT_TRUE(silent.Listening());
  ASSERT_TRUE(WriteWholeFile(ConfigPath(), "[General]\r\nUpdateUrl=" + Narrow(silent.Url()) + "\r\n"));
  Start(false);
  FocusMainWindow();
  const RECT list = ScreenRect(FProgram->ListWindow());
  ClickAt({list.left - kListAt.x + kCheckLinkAt.x, list.top - kListAt.y + kCheckLinkAt.y});
  ASSERT_TRUE(WaitUntil([&] { return silent.Requests() == 1; }, kStepLimitMs));
  // The window answers while the check waits for the server.
  TypeSearch(Named(L"Beta"));
  EXPECT_TRUE(WaitForList([&](const TListText& l) { return l.Names().size() == 1; }, "one row"));
  // Closing does not wait for the check (the program's own limit is 20 s).
  ::PostMessageW(FProgram->MainWindow(), WM_CLOSE, 0, 0);
  EXPECT_EQ(FProgram->WaitForExit(15000), std::optional<DWORD>(0));
}

}  // namespace
}  // namespace quor::test
