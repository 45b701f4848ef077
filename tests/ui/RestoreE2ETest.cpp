// The restore window as a user meets it: backup sets written as a removal
// writes them, the real executable started with its backup folder in a
// folder of the test's own, and real mouse and keyboard input.

#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/ChildProcess.h"
#include "support/TempFolder.h"
#include "ui/BackupRoot.h"
#include "ui/GuiProgram.h"
#include "ui/ListText.h"
#include "ui/Polling.h"
#include "ui/SavedFile.h"
#include "ui/TestPrograms.h"
#include "ui/UserInput.h"

namespace quor::test {
namespace {

// Limits only end a hung test; nothing here measures time.
constexpr DWORD kStartLimitMs = 90000;
constexpr DWORD kStepLimitMs = 30000;

// The frame's menu button: the fourth caption button from the right edge.
constexpr int kCaptionButtonsRight = 10, kCaptionButtonSize = 30, kCaptionButtonsTop = 8;
constexpr int kMenuButtonIndex = 3;
// The menu's items: 24 pixels high, 2 between; the last ends 8 above the
// bottom. "Restore removed items..." is the last item but two.
constexpr int kMenuItemPitch = 26, kMenuLastItemGap = 8, kMenuItemHeight = 24;
constexpr int kRestoreItemFromBottom = 2;
// The restore window's list: header and rows 26 pixels high; its push buttons.
constexpr int kHeaderHeight = 26, kRowHeight = 26;
constexpr int kButtonWidth = 104, kButtonHeight = 30;

std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += c < 128 ? char(c) : '?';
  return out;
}

std::wstring ConfigPath() {
  wchar_t appData[MAX_PATH] = {};
  ::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData);
  return std::wstring(appData) + L"\\Quor Uninstaller\\Config.ini";
}

std::vector<HWND> ChildrenOf(HWND parent) {
  std::vector<HWND> windows;
  ::EnumChildWindows(
      parent,
      [](HWND hwnd, LPARAM l) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(l)->push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  return windows;
}

// Visible windows of the process that `owner` owns.
std::vector<HWND> OwnedBy(HWND owner) {
  struct TSearch {
    HWND Owner;
    std::vector<HWND> Found;
  } search{owner, {}};
  ::EnumWindows(
      [](HWND hwnd, LPARAM l) -> BOOL {
        auto* s = reinterpret_cast<TSearch*>(l);
        if (::IsWindowVisible(hwnd) && ::GetWindow(hwnd, GW_OWNER) == s->Owner)
          s->Found.push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

// A row of the set list: its cells in the list's column order.
struct TSetRow {
  std::wstring Program, Date, Items, Size;
};

TSetRow Cells(const TListRow& row) { return {row.Name, row.Publisher, row.Size, row.Date}; }

class RestoreE2E : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    FSavedConfig = std::make_unique<TSavedFile>(ConfigPath());
    FListed = std::make_unique<TTestProgram>(
        TProgramSpec{ListedName(), L"Quor Tests", L"1.0", L"20240101", 1, 100}, L"QuorUiTest-R");
  }
  static void TearDownTestSuite() {
    FListed.reset();
    FSavedConfig.reset();
  }

  // A program that the main list shows once it is filled.
  static std::wstring ListedName() {
    return L"QuorRestoreListed" + std::to_wstring(::GetCurrentProcessId());
  }

  // Default settings: English, backups kept for 30 days.
  void SetUp() override { ::DeleteFileW(ConfigPath().c_str()); }

  void TearDown() override {
    if (!FProgram || !FProgram->Running()) return;
    if (HasFailure()) {
      FProgram->Kill();
      return;
    }
    ::PostMessageW(FProgram->MainWindow(), WM_CLOSE, 0, 0);
    EXPECT_EQ(FProgram->WaitForExit(kStepLimitMs), std::optional<DWORD>(0));
  }

  // Starts the program and waits until its list is filled and the window takes input.
  void Start() {
    FProgram = std::make_unique<TGuiProgram>();
    ASSERT_TRUE(FProgram->Started());
    ASSERT_TRUE(WaitUntil(
        [&] {
          return FProgram->ListWindow() && ::IsWindowEnabled(FProgram->MainWindow()) &&
                 ParseListText(WindowText(FProgram->ListWindow())).Row(ListedName());
        },
        kStartLimitMs))
        << "the main window never took input";
  }

  // Chooses "Restore removed items..." in the frame's menu; answers the window it opens.
  HWND OpenRestoreWindow() {
    EXPECT_TRUE(BringToFront(FProgram->MainWindow()));
    const RECT frame = ScreenRect(FProgram->FrameWindow());
    const int right = frame.right - kCaptionButtonsRight - kMenuButtonIndex * kCaptionButtonSize;
    ClickAt(
        {right - kCaptionButtonSize / 2, frame.top + kCaptionButtonsTop + kCaptionButtonSize / 2});
    std::vector<HWND> levels;
    if (!WaitUntil([&] { return (levels = FProgram->MenuLevels()).size() == 1; }, kStepLimitMs)) {
      ADD_FAILURE() << "the menu button opened no menu";
      return nullptr;
    }
    const RECT menu = ScreenRect(levels[0]);
    ClickAt({(menu.left + menu.right) / 2, menu.bottom - kMenuLastItemGap -
                                               kRestoreItemFromBottom * kMenuItemPitch -
                                               kMenuItemHeight / 2});
    std::vector<HWND> dialogs;
    if (!WaitUntil([&] { return (dialogs = FProgram->Dialogs()).size() == 1; }, kStepLimitMs)) {
      ADD_FAILURE() << "the menu item opened no window";
      return nullptr;
    }
    return dialogs.front();
  }

  // The restore window's set list: the control whose text has these titles.
  static HWND SetList(HWND window) {
    for (HWND child : ChildrenOf(window)) {
      const TListText text = ParseListText(WindowText(child));
      if (text.Titles == std::vector<std::wstring>{L"Program", L"Date", L"Items", L"Size"})
        return child;
    }
    return nullptr;
  }

  // The push buttons along the bottom, from left to right: Restore, Close.
  static std::vector<HWND> Buttons(HWND window) {
    std::vector<HWND> buttons;
    for (HWND child : ChildrenOf(window)) {
      RECT r{};
      ::GetClientRect(child, &r);
      if (r.right == kButtonWidth && r.bottom == kButtonHeight) buttons.push_back(child);
    }
    std::sort(buttons.begin(), buttons.end(),
              [](HWND a, HWND b) { return ScreenRect(a).left < ScreenRect(b).left; });
    return buttons;
  }

  static TListText Sets(HWND window) { return ParseListText(WindowText(SetList(window))); }

  static void ClickRow(HWND window, int index) {
    const RECT list = ScreenRect(SetList(window));
    ClickAt({list.left + 60, list.top + kHeaderHeight + index * kRowHeight + kRowHeight / 2});
  }

  // Answers Yes in the confirmation over `window`, then waits for the
  // summary and answers its text, closing it with Enter.
  static std::wstring ConfirmAndReadSummary(HWND window) {
    std::vector<HWND> boxes;
    if (!WaitUntil([&] { return (boxes = OwnedBy(window)).size() == 1; }, kStepLimitMs)) {
      ADD_FAILURE() << "Restore asked nothing";
      return L"";
    }
    const HWND question = boxes.front();
    EXPECT_TRUE(BringToFront(question));
    PressKey(VK_RETURN);  // Yes has the focus
    HWND summary = nullptr;
    if (!WaitUntil(
            [&] {
              const auto owned = OwnedBy(window);
              for (HWND w : owned)
                if (w != question && !WindowText(w).empty()) summary = w;
              return summary != nullptr;
            },
            kStepLimitMs)) {
      ADD_FAILURE() << "no summary after the restore";
      return L"";
    }
    const std::wstring text = WindowText(summary);
    EXPECT_TRUE(BringToFront(summary));
    PressKey(VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(summary); }, kStepLimitMs))
        << "Enter did not close the summary";
    return text;
  }

  static inline std::unique_ptr<TSavedFile> FSavedConfig;
  static inline std::unique_ptr<TTestProgram> FListed;
  std::unique_ptr<TGuiProgram> FProgram;
};

// Two removals: one file whose place is free, and one whose place holds a
// new file now. The first comes back with its bytes; the second is reported
// and the new file is left as it is.
TEST_F(RestoreE2E, RestoreBringsBackWhatIsGoneAndLeavesWhatExists) {
  TBackupRoot root(L"QuorRestoreAppData");
  TempFolder place(L"QuorRestorePlace");
  const std::string oldBytes("notes\r\n\0\x01\xFE end", 14);
  const std::wstring notes = place.MakeFile(L"notes.txt", oldBytes);
  const std::wstring settings = place.MakeFile(L"settings.ini", "[old]\r\n");
  ASSERT_TRUE(root.Remove(L"QuorRestoreNotes", notes, 2));
  ASSERT_TRUE(root.Remove(L"QuorRestoreSettings", settings, 1));
  ASSERT_FALSE(PathExists(notes));
  place.MakeFile(L"settings.ini", "[new]\r\n");

  Start();
  const HWND window = OpenRestoreWindow();
  ASSERT_NE(window, nullptr);
  ASSERT_NE(SetList(window), nullptr) << "the window shows no list of sets";
  TListText sets = Sets(window);
  ASSERT_EQ(sets.Rows.size(), 2u);
  EXPECT_EQ(sets.Rows[0].Name, L"QuorRestoreSettings") << "the newest set is not first";
  EXPECT_EQ(sets.Rows[1].Name, L"QuorRestoreNotes");
  EXPECT_EQ(Cells(sets.Rows[1]).Items, L"1");
  EXPECT_EQ(Cells(sets.Rows[1]).Size, L"14 Bytes");
  EXPECT_EQ(Cells(sets.Rows[1]).Date.find(L"restored"), std::wstring::npos);

  // The older set: chosen with the mouse, restored with Enter.
  ClickRow(window, 1);
  PressKey(VK_RETURN);
  EXPECT_EQ(ConfirmAndReadSummary(window), L"1 items restored.");
  EXPECT_EQ(ReadFileBytes(notes), oldBytes);
  EXPECT_TRUE(WaitUntil([&] { return Sets(window).Rows.size() == 2; }, kStepLimitMs));
  sets = Sets(window);
  ASSERT_EQ(sets.Rows.size(), 2u);
  EXPECT_NE(Cells(sets.Rows[1]).Date.find(L"(restored)"), std::wstring::npos)
      << Narrow(Cells(sets.Rows[1]).Date);

  // The newer set: its file exists again, so nothing goes back.
  ClickRow(window, 0);
  const auto buttons = Buttons(window);
  ASSERT_EQ(buttons.size(), 2u);
  ClickAt(CentreOf(ScreenRect(buttons[0])));
  EXPECT_EQ(ConfirmAndReadSummary(window),
            L"0 items restored.\r\nNot restored:\r\n" + settings + L" (exists now, left as it is)");
  EXPECT_EQ(ReadFileBytes(settings), "[new]\r\n");

  ASSERT_TRUE(BringToFront(window));
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(WaitUntil([&] { return FProgram->Dialogs().empty(); }, kStepLimitMs))
      << "Escape did not close the restore window";
  // Something came back, so the main list is read again; the window takes input once it is filled.
  EXPECT_TRUE(WaitUntil(
      [&] {
        return ::IsWindowEnabled(FProgram->MainWindow()) &&
               ParseListText(WindowText(FProgram->ListWindow())).Row(ListedName());
      },
      kStartLimitMs))
      << "the main list did not come back after the restore";
}

TEST_F(RestoreE2E, WithoutSetsTheListIsEmptyAndNothingCanBeRestored) {
  TBackupRoot root(L"QuorRestoreAppData");
  Start();
  const HWND window = OpenRestoreWindow();
  ASSERT_NE(window, nullptr);
  ASSERT_NE(SetList(window), nullptr);
  EXPECT_TRUE(Sets(window).Rows.empty());
  const auto buttons = Buttons(window);
  ASSERT_EQ(buttons.size(), 2u);
  EXPECT_FALSE(::IsWindowEnabled(buttons[0])) << "Restore is enabled with nothing to restore";
  EXPECT_TRUE(::IsWindowEnabled(buttons[1]));
  ClickAt(CentreOf(ScreenRect(buttons[1])));
  EXPECT_TRUE(WaitUntil([&] { return FProgram->Dialogs().empty(); }, kStepLimitMs))
      << "Close did not close the restore window";
}

}  // namespace
}  // namespace quor::test
