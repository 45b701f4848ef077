#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/RestoreText.h"

namespace quor {
namespace {

TBackupSetInfo Set(const wchar_t* id, uint64_t ticks, const wchar_t* program, int32_t items,
                   int64_t size, bool restored, const char* time = "2026-03-04T05:06:07") {
  TBackupSetInfo set;
  set.Id = id;
  set.TimeUtc = {DWORD(ticks), DWORD(ticks >> 32)};
  set.Time = time;
  set.Program = program;
  set.Items = items;
  set.Size = size;
  set.Restored = restored;
  return set;
}

TEST(RestoreTextTest, RowsAreNewestFirstWithTheirTexts) {
  // The time decides, not the order on disk or the id; equal times go by id, the larger first.
  const uint64_t day = 864'000'000'000ULL;
  const std::vector<TBackupSetInfo> sets = {
      Set(L"2026-01-01 000000 Old", 100 * day, L"Old", 1, 500, false, "2026-01-01T00:00:00"),
      Set(L"2026-03-04 050607 Newest", 300 * day + 1, L"Newest", 12, 1536, true),
      Set(L"b-tie", 200 * day, L"", 2, 0, false, "unreadable"),
      Set(L"a-tie", 200 * day, L"Tie A", 3, 3 * 1048576, false, "2026-02-02T10:20:30"),
      Set(L"2026-05-01 Huge", 150 * day, L"Huge", 9, int64_t(5) << 30, false),
  };
  struct TExpected {
    const wchar_t *Program, *Date, *Items, *Size;
    size_t Index;
  };
  const TExpected expected[] = {
      {L"Newest", L"2026-03-04 05:06 (restored)", L"12", L"1.5 KB", 1},
      {L"b-tie", L"unreadable", L"2", L"-", 2},  // no program name: the id
      {L"Tie A", L"2026-02-02 10:20", L"3", L"3.0 MB", 3},
      {L"Huge", L"2026-03-04 05:06", L"9", L"5.0 GB", 4},
      {L"Old", L"2026-01-01 00:00", L"1", L"500 Bytes", 0},
  };
  const auto rows = RestoreRows(sets, L"(restored)");
  ASSERT_EQ(rows.size(), std::size(expected));
  for (size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(rows[i].Program, expected[i].Program);
    EXPECT_EQ(rows[i].Date, expected[i].Date);
    EXPECT_EQ(rows[i].Items, expected[i].Items);
    EXPECT_EQ(rows[i].Size, expected[i].Size);
    EXPECT_EQ(rows[i].Set, &sets[expected[i].Index]);
  }
  EXPECT_TRUE(RestoreRows({}, L"(restored)").empty());
}

TEST(RestoreTextTest, DateShowsDayAndMinuteOnlyForTheRecordedShape) {
  const std::pair<const char*, const wchar_t*> cases[] = {
      {"2026-12-10T14:05:09", L"2026-12-10 14:05"},
      {"2026-12-10 14:05:09", L"2026-12-10 14:05:09"},  // not the recorded shape: as it is
      {"2026-12-10T14:05", L"2026-12-10T14:05"},
      {"", L""},
  };
  for (const auto& [time, shown] : cases) EXPECT_EQ(RestoreDateText(time), shown) << time;
}

TEST(RestoreTextTest, ASetRestoredBeforeIsAskedAboutAgain) {
  struct TCase {
    TBackupSetInfo Set;
    const wchar_t* Question;
  };
  const TCase cases[] = {
      {Set(L"id-1", 1, L"Notes", 1, 1, false), L"first Notes?"},
      {Set(L"id-2", 1, L"Notes", 1, 1, true), L"again Notes?"},
      {Set(L"id-3", 1, L"", 1, 1, true), L"again id-3?"},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(RestoreQuestion(c.Set, L"first %s?", L"again %s?"), c.Question);
}

TRestoreItemResult Left(std::wstring path, TRestoreState state, std::wstring reason = L"") {
  return {std::move(path), lkFile, state, std::move(reason)};
}

TEST(RestoreTextTest, SummaryCountsAndListsWhatWasNotRestored) {
  TRestoreReport many;
  many.Restored = 1;
  for (int i = 0; i < 18; ++i)
    many.Items.push_back(Left(L"C:\\p\\f" + std::to_wstring(i), TRestoreState::Exists));
  many.NotRestored = 18;
  std::vector<std::wstring> manyLines = {L"1 items restored.", L"Not restored:"};
  for (int i = 0; i < 15; ++i)
    manyLines.push_back(L"C:\\p\\f" + std::to_wstring(i) + L" (exists now, left as it is)");
  manyLines.push_back(L"and 3 more");

  struct TCase {
    const char* Name;
    TRestoreReport Report;
    std::vector<std::wstring> Lines;
  };
  const TCase cases[] = {
      {"everything back",
       {{Left(L"C:\\a", TRestoreState::Restored), Left(L"C:\\b", TRestoreState::Restored)}, 2, 0},
       {L"2 items restored."}},
      {"one exists, one failed with and one without a reason",
       {{Left(L"C:\\a", TRestoreState::Restored), Left(L"C:\\b", TRestoreState::Exists),
         Left(L"HKCU\\Software\\X", TRestoreState::Failed, L"Access is denied."),
         Left(L"C:\\c", TRestoreState::Failed)},
        1,
        3},
       {L"1 items restored.", L"Not restored:", L"C:\\b (exists now, left as it is)",
        L"HKCU\\Software\\X (Access is denied.)", L"C:\\c (could not be put back)"}},
      {"a set that could not be read",
       {{}, 0, 0, L"C:\\Backups\\x: backup.json cannot be read"},
       {L"0 items restored.", L"Not restored:", L"C:\\Backups\\x: backup.json cannot be read"}},
      {"more than the list holds", many, manyLines},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(RestoreSummary(c.Report, {}), c.Lines);
  }

  // Exactly as many as the list holds: no "more" line.
  many.Items.resize(15);
  const auto lines = RestoreSummary(many, {});
  ASSERT_EQ(lines.size(), 17u);
  EXPECT_EQ(lines.back(), L"C:\\p\\f14 (exists now, left as it is)");
}

TEST(RestoreTextTest, SummaryUsesTheTranslatedTemplates) {
  TRestoreReport report{
      {Left(L"C:\\b", TRestoreState::Exists), Left(L"C:\\c", TRestoreState::Exists)}, 4, 2};
  const TRestoreSummaryTexts german{.Done = L"%d Elemente wiederhergestellt.",
                                    .NotDone = L"Nicht wiederhergestellt:",
                                    .Exists = L"vorhanden",
                                    .Failed = L"Fehler",
                                    .More = L"und %d weitere"};
  EXPECT_EQ(
      RestoreSummary(report, german, 1),
      (std::vector<std::wstring>{L"4 Elemente wiederhergestellt.", L"Nicht wiederhergestellt:",
                                 L"C:\\b (vorhanden)", L"und 1 weitere"}));
  // A translation that lost its "%d" still says something; a "%s" is not a count.
  const TRestoreSummaryTexts broken{.Done = L"Restored.", .More = L"more: %s"};
  EXPECT_EQ(RestoreSummary(report, broken, 1).front(), L"Restored.");
  EXPECT_EQ(RestoreSummary(report, broken, 1).back(), L"more: %s");
  EXPECT_EQ(FillTemplate(L"Put %s back? %s", L"%s", L"100% Tool"), L"Put 100% Tool back? %s");
}

}  // namespace
}  // namespace quor
