#include <gtest/gtest.h>

#include "inventory/UninstallObject.h"

namespace quor {
namespace {

TUninstallItem Named(const std::wstring& name) {
  TUninstallItem item;
  item.DisplayName = name;
  return item;
}

TEST(SoftwareList, AddAppendsOrInsertsAndStoresThePosition) {
  TSoftwareList list;
  EXPECT_EQ(list.Add(-1, Named(L"a")), 0);
  EXPECT_EQ(list.Add(1, Named(L"b")), 1);   // equal to Count: inserted at the end
  EXPECT_EQ(list.Add(7, Named(L"c")), 2);   // beyond Count: appended
  EXPECT_EQ(list.Add(-5, Named(L"d")), 3);  // below 0: appended
  ASSERT_EQ(list.Count(), 4);
  const wchar_t* names[] = {L"a", L"b", L"c", L"d"};
  for (int32_t i = 0; i < 4; ++i) {
    EXPECT_EQ(list.Items(i)->DisplayName, names[i]);
    EXPECT_EQ(list.Items(i)->Index, i);
  }
}

TEST(SoftwareList, ItemsOutOfRangeIsNone) {
  TSoftwareList list;
  EXPECT_EQ(list.Items(0), nullptr);
  list.Add(-1, Named(L"a"));
  EXPECT_EQ(list.Items(-1), nullptr);
  EXPECT_EQ(list.Items(list.Count()), nullptr);
}

TEST(SoftwareList, ClearEmptiesButAHeldRecordStaysAlive) {
  TSoftwareList list;
  list.Clear();  // on an empty list
  EXPECT_EQ(list.Count(), 0);
  list.Add(-1, Named(L"kept"));
  auto held = list.Items(0);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(held->DisplayName, L"kept");  // a size computation may still hold it
}

// A serial names one record for good, where an index names whatever record
// sits there after a refresh.
TEST(SoftwareList, ASerialFindsItsOwnRecordOnlyWhileItIsListed) {
  TSoftwareList list;
  list.Add(-1, Named(L"a"));
  list.Add(-1, Named(L"b"));
  const auto a = list.Items(0);
  const auto b = list.Items(1);
  EXPECT_NE(a->Serial, 0u);
  EXPECT_NE(a->Serial, b->Serial);
  EXPECT_EQ(list.FindBySerial(a->Serial), a);
  EXPECT_EQ(list.FindBySerial(b->Serial), b);
  EXPECT_EQ(list.FindBySerial(0), nullptr);

  list.Clear();
  list.Add(-1, Named(L"a"));  // the same registration, read again, at the same index
  TSoftwareList other;
  other.Add(-1, Named(L"a"));
  const auto again = list.Items(0);
  for (uint64_t old : {a->Serial, b->Serial}) {
    EXPECT_NE(again->Serial, old);
    EXPECT_NE(other.Items(0)->Serial, old);
    EXPECT_EQ(list.FindBySerial(old), nullptr);
  }
  EXPECT_NE(again->Serial, other.Items(0)->Serial);
  EXPECT_EQ(list.FindBySerial(again->Serial), again);
  EXPECT_EQ(list.FindBySerial(other.Items(0)->Serial), nullptr);
}

TEST(SoftwareList, CopiesEveryFieldFromTheItem) {
  TUninstallItem item;
  item.RootKey = HKEY_LOCAL_MACHINE;
  item.KeyPath = L"k";
  item.DisplayName = L"n";
  item.FolderName = L"f";
  item.DisplayIcon = L"i";
  item.InstallLocation = L"l";
  item.Publisher = L"p";
  item.DisplayVersion = L"v";
  item.ProductGuid = L"g";
  item.ModifyPath = L"m";
  item.HelpLink = L"h";
  item.UninstallString = L"u";
  item.Size = 42;
  item.InstallDate = TDateTime{2020, 1, 2, 3, 4, 5, 6};
  TSoftwareList list;
  list.Add(-1, item);
  const auto r = list.Items(0);
  EXPECT_EQ(r->RootKey, HKEY_LOCAL_MACHINE);
  EXPECT_EQ(r->KeyPath + r->DisplayName + r->FolderName + r->DisplayIcon + r->InstallLocation +
                r->Publisher + r->DisplayVersion + r->ProductGuid + r->ModifyPath + r->HelpLink +
                r->UninstallString,
            L"knfilpvgmhu");
  EXPECT_EQ(r->Size, 42);
  EXPECT_EQ(r->InstallDate, item.InstallDate);
  EXPECT_EQ(r->ListItem, nullptr);
  EXPECT_FALSE(r->SizeComputing);
  EXPECT_FALSE(r->SizeDone);
  EXPECT_EQ(r->LeftoverCount(), 0);
}

TEST(Leftovers, PathsEqualIgnoringAsciiCaseAreAddedOnce) {
  TUninstallObject record;
  EXPECT_TRUE(record.IsNewLeftover({L"C:\\Any", lkFolder}));
  EXPECT_EQ(record.AddLeftover({L"C:\\Program Files\\Tool", lkFolder}), 0);
  EXPECT_EQ(record.AddLeftover({L"c:\\PROGRAM FILES\\tool", lkFile}), -1);
  // Case folding covers A to Z only: these differ.
  EXPECT_EQ(record.AddLeftover({L"C:\\\u00C4pfel", lkFile}), 1);
  EXPECT_EQ(record.AddLeftover({L"C:\\\u00E4pfel", lkFile}), 2);
  EXPECT_EQ(record.LeftoverCount(), 3);
  EXPECT_EQ(record.GetLeftover(0)->Kind, lkFolder);
  EXPECT_EQ(record.GetLeftover(-1), nullptr);
  EXPECT_EQ(record.GetLeftover(3), nullptr);
  record.ClearLeftovers();
  EXPECT_EQ(record.LeftoverCount(), 0);
}

}  // namespace
}  // namespace quor
