// The summary the main window shows after a removal.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/RemovalReport.h"

namespace quor {
namespace {

const TRemovalSummaryTexts kTexts{.Removed = L"Removed: %d",
                                  .Kept = L"Kept: %d",
                                  .Failed = L"Failed: %d",
                                  .FailedItems = {L"Not removed:", L"and %d more"},
                                  .LeftInPlace = L"Left in place:",
                                  .NotTried = L"not tried",
                                  .BackupSet = L"Backup set: %s",
                                  .NoBackupSet = L"No backup set."};

int32_t AddItem(TUninstallObject& program, const std::wstring& path, TRemovalState state,
                const std::wstring& reason = {}) {
  const int32_t i = program.AddLeftover(TLeftOverItem(path, lkFile));
  program.SetLeftoverResult(i, state, reason);
  return i;
}

// Every outcome counted; failures and what the removal itself left in place
// named with their reasons; what the user kept only counted.
TEST(RemovalReport, TheSummaryCountsEveryOutcomeAndNamesWhatStayedUnasked) {
  TUninstallObject program;
  AddItem(program, L"C:\\App\\gone.txt", TRemovalState::Removed);
  AddItem(program, L"C:\\App\\open.dll", TRemovalState::Failed, L"in use");
  const int32_t kept = AddItem(program, L"C:\\App\\kept.ini", TRemovalState::Kept, L"kept");
  program.SetLeftoverKept(kept, true);
  AddItem(program, L"C:\\App\\Data\\", TRemovalState::Kept, L"link left in place");
  AddItem(program, L"HKEY_CURRENT_USER\\Software\\App", TRemovalState::Failed);
  AddItem(program, L"C:\\App\\later.txt", TRemovalState::NotTried);
  program.SetBackupSet(L"2026-12-11 072119 App");
  EXPECT_EQ(CountRemovalStates(program), (TRemovalCounts{1, 2, 3}));
  EXPECT_EQ(RemovalSummaryText(program, kTexts),
            L"Removed: 1\nKept: 2\nFailed: 3\n\n"
            L"Not removed:\nC:\\App\\open.dll (in use)\nHKEY_CURRENT_USER\\Software\\App\n"
            L"C:\\App\\later.txt (not tried)\n\n"
            L"Left in place:\nC:\\App\\Data\\ (link left in place)\n\n"
            L"Backup set: 2026-12-11 072119 App");
}

TEST(RemovalReport, ACleanRemovalGivesTheCountsAndTheBackupOnly) {
  TUninstallObject program;
  AddItem(program, L"C:\\App\\gone.txt", TRemovalState::Removed);
  EXPECT_EQ(RemovalSummaryText(program, kTexts),
            L"Removed: 1\nKept: 0\nFailed: 0\n\nNo backup set.");
}

TEST(RemovalReport, ManyFailuresEndWithTheCountLeftOut) {
  struct TCase {
    size_t Failed;
    size_t Lines;  // heading, items and the count line
    const wchar_t* Last;
  };
  const TCase cases[] = {
      {kReportMaxItems, 1 + kReportMaxItems, L"C:\\f11"},
      {kReportMaxItems + 1, 2 + kReportMaxItems, L"and 1 more"},
      {kReportMaxItems + 30, 2 + kReportMaxItems, L"and 30 more"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Failed);
    TUninstallObject program;
    for (size_t i = 0; i < c.Failed; ++i)
      AddItem(program, L"C:\\f" + std::to_wstring(i), TRemovalState::Failed);
    const std::wstring text = RemovalSummaryText(program, kTexts);
    const size_t from = text.find(L"Not removed:"), to = text.rfind(L"\n\n");
    ASSERT_NE(from, std::wstring::npos);
    const std::wstring failures = text.substr(from, to - from);
    EXPECT_EQ(size_t(std::count(failures.begin(), failures.end(), L'\n')) + 1, c.Lines);
    EXPECT_EQ(failures.substr(failures.rfind(L'\n') + 1), c.Last);
  }
}

TEST(RemovalReport, LongPathsLoseFoldersFromTheirMiddle) {
  const std::wstring longPath = L"C:\\" + std::wstring(100, L'x') + L"\\name.txt";
  const std::wstring shortened = ShortenedPath(longPath, 40);
  EXPECT_LE(shortened.size(), 40u);
  EXPECT_EQ(shortened, L"C:\\\u2026\\name.txt");
  EXPECT_EQ(ShortenedPath(L"C:\\short.txt", 40), L"C:\\short.txt");
}

// A translation that leaves out "%d" or "%s" still gives the number or name.
TEST(RemovalReport, ATranslationWithoutItsPlaceholdersStillGivesTheValues) {
  TUninstallObject program;
  for (size_t i = 0; i < kReportMaxItems + 2; ++i)
    AddItem(program, L"C:\\f" + std::to_wstring(i), TRemovalState::Failed);
  program.SetBackupSet(L"set");
  TRemovalSummaryTexts texts = kTexts;
  texts.Failed = L"Fehlgeschlagen:";
  texts.FailedItems = {L"Nicht entfernt:", L"weitere"};
  texts.BackupSet = L"Sicherung:";
  const std::wstring text = RemovalSummaryText(program, texts);
  EXPECT_NE(text.find(L"\nFehlgeschlagen: 14\n"), std::wstring::npos);
  EXPECT_NE(text.find(L"\nweitere 2\n"), std::wstring::npos);
  EXPECT_TRUE(text.ends_with(L"\n\nSicherung: set"));
}

}  // namespace
}  // namespace quor
