// The text the main window shows after a removal that left items behind.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/RemovalReport.h"

namespace quor {
namespace {

const TRemovalReportTexts kTexts{L"Not removed:", L"and %d more"};

void AddItem(TUninstallObject& program, const std::wstring& path, TRemovalState state,
             const std::wstring& reason = {}) {
  const int32_t i = program.AddLeftover(TLeftOverItem(path, lkFile));
  program.SetLeftoverResult(i, state, reason);
}

TEST(RemovalReport, ListsOnlyTheFailedItemsWithTheirReasons) {
  TUninstallObject program;
  AddItem(program, L"C:\\App\\gone.txt", TRemovalState::Removed);
  AddItem(program, L"C:\\App\\open.dll", TRemovalState::Failed, L"in use");
  AddItem(program, L"C:\\App\\kept.ini", TRemovalState::Kept, L"kept");
  AddItem(program, L"HKEY_CURRENT_USER\\Software\\App", TRemovalState::Failed);
  EXPECT_EQ(RemovalFailureText(program, kTexts),
            L"Not removed:\nC:\\App\\open.dll (in use)\nHKEY_CURRENT_USER\\Software\\App");
}

TEST(RemovalReport, NothingFailedGivesNoText) {
  TUninstallObject program;
  EXPECT_EQ(RemovalFailureText(program, kTexts), L"");
  AddItem(program, L"C:\\App\\kept.ini", TRemovalState::Kept, L"kept");
  AddItem(program, L"C:\\App\\tried.ini", TRemovalState::NotTried);
  EXPECT_EQ(RemovalFailureText(program, kTexts), L"");
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
    const std::wstring text = RemovalFailureText(program, kTexts);
    EXPECT_EQ(size_t(std::count(text.begin(), text.end(), L'\n')) + 1, c.Lines);
    EXPECT_EQ(text.substr(text.rfind(L'\n') + 1), c.Last);
  }
}

TEST(RemovalReport, LongPathsLoseTheirMiddle) {
  const std::wstring longPath = L"C:\\" + std::wstring(100, L'x') + L"\\name.txt";
  const std::wstring shortened = ShortenedPath(longPath, 40);
  EXPECT_EQ(shortened.size(), 40u);
  EXPECT_TRUE(shortened.starts_with(L"C:\\xxx"));
  EXPECT_TRUE(shortened.ends_with(L"\\name.txt"));
  EXPECT_NE(shortened.find(L"..."), std::wstring::npos);
  EXPECT_EQ(ShortenedPath(L"C:\\short.txt", 40), L"C:\\short.txt");
}

TEST(RemovalReport, ATranslationWithoutTheCountStillGivesIt) {
  TUninstallObject program;
  for (size_t i = 0; i < kReportMaxItems + 2; ++i)
    AddItem(program, L"C:\\f" + std::to_wstring(i), TRemovalState::Failed);
  const std::wstring text = RemovalFailureText(program, {L"Nicht entfernt:", L"weitere"});
  EXPECT_TRUE(text.ends_with(L"\nweitere 2")) << text.substr(text.rfind(L'\n'));
}

}  // namespace
}  // namespace quor
