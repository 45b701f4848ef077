#include <gtest/gtest.h>

#include <windows.h>
#include <winioctl.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "inventory/ProgramSize.h"
#include "support/MessagePump.h"
#include "support/TempFolder.h"

namespace quor {
namespace {

std::wstring Locale(LCTYPE type) {
  wchar_t buf[16] = {};
  ::GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buf, 16);
  return buf;
}

TEST(FormatSize, UnitsGroupingAndOneDecimal) {
  const std::wstring dec = Locale(LOCALE_SDECIMAL);
  const std::wstring sep = Locale(LOCALE_STHOUSAND);
  struct Case {
    int64_t bytes;
    std::wstring text;
  } cases[] = {
      {0, L"0 Bytes"},
      {-5, L"-5 Bytes"},
      {1023, L"1" + sep + L"023 Bytes"},
      {1024, L"1" + dec + L"0 KB"},
      {1536, L"1" + dec + L"5 KB"},
      {1048575, L"1" + sep + L"024" + dec + L"0 KB"},  // 1023.999 rounds up
      {1048576, L"1" + dec + L"0 MB"},
      {1073741824, L"1" + dec + L"0 GB"},
      {5497558138880LL, L"5" + sep + L"120" + dec + L"0 GB"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatSize(c.bytes), c.text) << c.bytes;
}

// A file of the given length that takes no disk space.
void MakeSparseFile(const std::wstring& path, int64_t length) {
  HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD ret = 0;
  ::DeviceIoControl(h, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ret, nullptr);
  LARGE_INTEGER pos;
  pos.QuadPart = length;
  ::SetFilePointerEx(h, pos, nullptr, FILE_BEGIN);
  ::SetEndOfFile(h);
  ::CloseHandle(h);
}

TEST(GetFolderSize, CountsLargeFilesAndTreesInFull) {
  test::TempFolder folder;
  const int64_t five = 5LL << 30;
  MakeSparseFile(folder / L"big.bin", five);
  folder.MakeFolder(L"sub\\deeper");
  for (int i = 0; i < 3; ++i) MakeSparseFile(folder / (L"sub\\deeper\\" + std::to_wstring(i)), 1LL << 30);
  folder.MakeFile(L"sub\\small.txt", std::string(100, 'x'));
  EXPECT_EQ(GetFolderSize(folder.Path()), five + (3LL << 30) + 100);
  EXPECT_EQ(GetFolderSize(folder.Path() + L"\\"), five + (3LL << 30) + 100);
}

TEST(GetFolderSize, EmptyMissingQuotedAndLinkedFolders) {
  test::TempFolder folder;
  EXPECT_EQ(GetFolderSize(folder.Path()), 0);
  EXPECT_EQ(GetFolderSize(folder / L"missing"), 0);
  folder.MakeFile(L"a.txt", "12345");
  EXPECT_EQ(GetFolderSize(L"\"" + folder.Path() + L"\""), 0);
  // A link back to the folder itself would loop; a broken link lists
  // nothing; neither stops the walk nor is counted.
  const bool loop = test::MakeFolderLink(folder / L"loop", folder.Path());
  test::MakeFolderLink(folder / L"broken", folder / L"gone");
  folder.MakeFile(L"z\\b.txt", "123");
  if (loop) {
    EXPECT_EQ(GetFolderSize(folder.Path()), 8);
  } else {
    GTEST_SKIP() << "folder links cannot be made here";
  }
}

// Asked before each entry: once it answers true, the walk counts no more.
TEST(GetFolderSize, AnAbortStopsTheWalkBeforeTheNextEntry) {
  test::TempFolder folder;
  for (int i = 0; i < 10; ++i) {
    folder.MakeFile(L"s" + std::to_wstring(i % 2) + L"\\f" + std::to_wstring(i),
                    std::string(100, 'x'));
  }
  EXPECT_EQ(GetFolderSize(folder.Path(), [] { return false; }), 1000);
  int asked = 0;
  EXPECT_LE(GetFolderSize(folder.Path(), [&] { return ++asked > 3; }), 300);
  EXPECT_EQ(asked, 4);
}

TEST(GetFolderSize, PathsBeyond260Characters) {
  test::TempFolder folder;
  std::wstring deep;
  for (int i = 0; i < 12; ++i) deep += std::wstring(30, static_cast<wchar_t>(L'a' + i)) + L"\\";
  folder.MakeFile(deep + L"file.bin", std::string(2048, 'x'));
  ASSERT_GT((folder / deep).size(), 300u);
  EXPECT_EQ(GetFolderSize(folder.Path()), 2048);
}

// A list whose sink records what it is told, on which thread, and the size
// the record had then.
class SizeQuery : public ::testing::Test {
 protected:
  struct TTold {
    std::shared_ptr<TUninstallObject> Record;
    int64_t Size;
    DWORD Thread;
  };

  std::shared_ptr<TUninstallObject> AddRecord(const std::wstring& location, int64_t size = 0) {
    TUninstallItem item;
    item.DisplayName = L"sized";
    item.InstallLocation = location;
    item.Size = size;
    return list->Items(list->Add(-1, item));
  }
  std::vector<TTold> Told() {
    std::lock_guard guard(lock);
    return told;
  }
  // A tree whose walk takes far longer than the few steps between starting
  // its measurement and stopping it.
  static void MakeLargeTree(const test::TempFolder& folder) {
    for (int i = 0; i < 2000; ++i) {
      folder.MakeFile(L"d" + std::to_wstring(i % 20) + L"\\f" + std::to_wstring(i));
    }
  }

  std::mutex lock;
  std::vector<TTold> told;
  std::unique_ptr<TSoftwareList> list =
      std::make_unique<TSoftwareList>([this](const std::shared_ptr<TUninstallObject>& record) {
        std::lock_guard guard(lock);
        told.push_back({record, record->Size.load(), ::GetCurrentThreadId()});
      });
};

TEST_F(SizeQuery, AStatedSizeNeverStartsAComputation) {
  auto record = AddRecord(L"C:\\nowhere", 300);
  EXPECT_EQ(record->GetSize(), 300);
  EXPECT_FALSE(record->SizeComputing);
  EXPECT_EQ(list->SizeWorkers().Started(), 0u);
}

TEST_F(SizeQuery, OneComputationOneNotificationThenNeverAgain) {
  test::TempFolder folder;
  folder.MakeFile(L"a.bin", std::string(3000, 'x'));
  list->Add(-1, TUninstallItem{});  // the record under test is not at index 0
  auto record = AddRecord(folder.Path());
  EXPECT_EQ(record->GetSize(), -1);
  EXPECT_EQ(record->GetSize(), -1);
  EXPECT_EQ(list->SizeWorkers().Started(), 1u);
  ASSERT_TRUE(test::PumpUntil([&] { return !Told().empty(); }));
  test::PumpUntil([] { return false; }, 200);  // a second notification would arrive now
  const auto seen = Told();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].Record, record);
  EXPECT_EQ(seen[0].Size, 2);  // stored before the sink hears of it
  EXPECT_NE(seen[0].Thread, ::GetCurrentThreadId());
  EXPECT_TRUE(record->SizeDone);
  EXPECT_FALSE(record->SizeComputing);
  EXPECT_EQ(record->GetSize(), 2);  // 3000 bytes, whole KiB

  folder.MakeFile(L"b.bin", std::string(10000, 'x'));
  EXPECT_EQ(record->GetSize(), 2);  // a finished size is not measured again
  EXPECT_FALSE(record->SizeComputing);
  EXPECT_EQ(list->SizeWorkers().Started(), 1u);
}

// Many records at once queue for a few workers; each still gets its own size.
TEST_F(SizeQuery, ManyRecordsShareAFewWorkersAndEachGetsItsOwnSize) {
  test::TempFolder folder;
  constexpr int kRecords = 24;
  std::vector<std::shared_ptr<TUninstallObject>> records;
  for (int i = 0; i < kRecords; ++i) {
    const std::wstring sub = L"p" + std::to_wstring(i);
    folder.MakeFile(sub + L"\\data.bin", std::string(size_t(1024 * (i + 1)), 'x'));
    records.push_back(AddRecord(folder / sub));
  }
  for (auto& record : records) EXPECT_EQ(record->GetSize(), -1);
  EXPECT_EQ(list->SizeWorkers().Started(), size_t(kRecords));
  ASSERT_TRUE(test::PumpUntil([&] { return Told().size() == size_t(kRecords); }));
  std::vector<DWORD> threads;
  for (const TTold& t : Told()) {
    if (std::find(threads.begin(), threads.end(), t.Thread) == threads.end())
      threads.push_back(t.Thread);
  }
  // A worker ends when the queue runs dry and a later record starts a fresh
  // one, so a loaded machine may see a few more thread ids than kMaxThreads;
  // a thread per record would show one id per record.
  EXPECT_LE(threads.size(), size_t(kRecords / 2));
  for (int i = 0; i < kRecords; ++i) EXPECT_EQ(records[size_t(i)]->GetSize(), i + 1) << i;
}

TEST_F(SizeQuery, NoLocationNoIconFinishesAtZero) {
  auto record = AddRecord(L"");
  EXPECT_EQ(record->GetSize(), -1);
  ASSERT_TRUE(test::PumpUntil([&] { return !Told().empty(); }));
  EXPECT_TRUE(record->SizeDone);
  EXPECT_EQ(record->GetSize(), 0);
}

// A refresh drops the records and a closing list goes with them: either way
// the walk stops early, keeps no part of its count and tells nobody. The
// record is held here; the computation has let go of it when its list's
// Clear (or destruction) has returned, or soon after.
TEST_F(SizeQuery, AClearOrADestroyedListStopsTheComputationUntold) {
  test::TempFolder folder;
  MakeLargeTree(folder);
  for (const bool destroy : {false, true}) {
    SCOPED_TRACE(destroy ? "destroyed" : "cleared");
    auto record = AddRecord(folder.Path());
    EXPECT_EQ(record->GetSize(), -1);
    if (destroy) {
      list.reset();
      // Joined: the computation has ended and let go of the record.
      EXPECT_EQ(record.use_count(), 1);
      list = std::make_unique<TSoftwareList>();
    } else {
      list->Clear();
      ASSERT_TRUE(test::PumpUntil([&] { return record.use_count() == 1; }));
    }
    EXPECT_EQ(record->Size.load(), 0);
    EXPECT_FALSE(record->SizeDone);
    EXPECT_EQ(record->GetSize(), -1);  // a dropped record is not measured again
    EXPECT_FALSE(record->SizeComputing);
  }
  test::PumpUntil([] { return false; }, 100);
  EXPECT_TRUE(Told().empty());
}

// A record outside any list has nobody to be told later.
TEST(SizeOutsideAList, IsMeasuredAtOnce) {
  test::TempFolder folder;
  folder.MakeFile(L"a.bin", std::string(5000, 'x'));
  auto record = std::make_shared<TUninstallObject>();
  record->InstallLocation = folder.Path();
  EXPECT_EQ(record->GetSize(), 4);
  EXPECT_TRUE(record->SizeDone);
}

}  // namespace
}  // namespace quor
