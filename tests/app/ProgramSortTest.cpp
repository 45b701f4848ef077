#include "app/ProgramSort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "inventory/UninstallObject.h"

namespace quor {
namespace {

std::unique_ptr<TUninstallObject> Record(int64_t sizeKiB, int year) {
  auto r = std::make_unique<TUninstallObject>();
  if (sizeKiB < 0) r->SizeComputing = true;  // GetSize answers -1 while it measures
  r->Size = sizeKiB > 0 ? sizeKiB : 0;
  r->SizeDone = sizeKiB >= 0;
  r->InstallDate = {year, 1, 1};
  return r;
}

// The order a comparison gives, as the rows' captions.
std::vector<std::wstring> Sorted(std::vector<TProgramRowKeys> rows, TRowCompare compare) {
  std::sort(rows.begin(), rows.end(),
            [compare](const TProgramRowKeys& a, const TProgramRowKeys& b) { return compare(a, b) < 0; });
  std::vector<std::wstring> captions;
  for (const TProgramRowKeys& row : rows) captions.emplace_back(row.Caption);
  return captions;
}

class ProgramSortTest : public testing::Test {
 protected:
  std::unique_ptr<TUninstallObject> big = Record(900000, 2019);
  std::unique_ptr<TUninstallObject> small = Record(12, 2024);
  std::unique_ptr<TUninstallObject> measuring = Record(-1, 2021);
  std::unique_ptr<TUninstallObject> empty = Record(0, 2001);
  std::vector<TProgramRowKeys> rows = {
      {L"beta", L"Zeta Ltd", big.get()},
      {L"Alpha", L"acme", small.get()},
      {L"_tools", L"Beta Corp", measuring.get()},
      {L"Gamma", L"_Indie", empty.get()},
  };
};

struct ClickCase {
  int Column;
  int SortStateBefore;
  std::vector<std::wstring> Order;
};

// Names and publishers: "_" sorts after the letters (a to z fold to upper
// case); sizes: one being measured (-1) comes before a known 0.
TEST_F(ProgramSortTest, HeaderClickSortsByTheColumnsComparison) {
  const ClickCase cases[] = {
      {pcName, 0, {L"_tools", L"Gamma", L"beta", L"Alpha"}},
      {pcName, 1, {L"Alpha", L"beta", L"Gamma", L"_tools"}},
      {pcName, 2, {L"_tools", L"Gamma", L"beta", L"Alpha"}},
      {pcPublisher, 0, {L"Gamma", L"beta", L"_tools", L"Alpha"}},
      {pcPublisher, 1, {L"Alpha", L"_tools", L"beta", L"Gamma"}},
      {pcSize, 0, {L"_tools", L"Gamma", L"Alpha", L"beta"}},
      {pcSize, 1, {L"beta", L"Alpha", L"Gamma", L"_tools"}},
      {pcSize, 2, {L"_tools", L"Gamma", L"Alpha", L"beta"}},
      {pcDate, 0, {L"Gamma", L"beta", L"_tools", L"Alpha"}},
      {pcDate, 1, {L"Alpha", L"_tools", L"beta", L"Gamma"}},
  };
  for (const ClickCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "column " << c.Column << ", state " << c.SortStateBefore);
    const TRowCompare compare = SortCompareFor(c.Column, c.SortStateBefore);
    ASSERT_NE(compare, nullptr);
    EXPECT_EQ(Sorted(rows, compare), c.Order);
  }
}

TEST_F(ProgramSortTest, VersionHeaderDoesNotSort) {
  for (int state : {0, 1, 2}) EXPECT_EQ(SortCompareFor(pcVersion, state), nullptr);
  EXPECT_EQ(SortCompareFor(5, 0), nullptr);
  EXPECT_EQ(SortCompareFor(-1, 0), nullptr);
}

TEST_F(ProgramSortTest, RowsWithoutRecordCompareEqualBySizeAndDate) {
  const TProgramRowKeys bare{L"bare", L"", nullptr};
  for (TRowCompare compare : {CompareBySizeAsc, CompareBySizeDesc, CompareByDateAsc, CompareByDateDesc}) {
    EXPECT_EQ(compare(bare, rows[0]), 0);
    EXPECT_EQ(compare(rows[0], bare), 0);
  }
}

TEST_F(ProgramSortTest, TextsCompareByCodeAfterFolding) {
  const TProgramRowKeys a{L"abc", L"", nullptr}, upper{L"ABC", L"", nullptr}, longer{L"abcd", L"", nullptr},
      accented{L"\u00e9", L"", nullptr}, z{L"z", L"", nullptr};
  EXPECT_EQ(CompareByNameAsc(a, upper), 0);
  EXPECT_LT(CompareByNameAsc(a, longer), 0);
  EXPECT_GT(CompareByNameDesc(a, longer), 0);
  EXPECT_GT(CompareByNameAsc(accented, z), 0);  // no locale rules: by character code
}

}  // namespace
}  // namespace quor
