#include <gtest/gtest.h>

#include <windows.h>
#include <winioctl.h>

#include <atomic>

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

TEST(GetFolderSize, PathsBeyond260Characters) {
  test::TempFolder folder;
  std::wstring deep;
  for (int i = 0; i < 12; ++i) deep += std::wstring(30, static_cast<wchar_t>(L'a' + i)) + L"\\";
  folder.MakeFile(deep + L"file.bin", std::string(2048, 'x'));
  ASSERT_GT((folder / deep).size(), 300u);
  EXPECT_EQ(GetFolderSize(folder.Path()), 2048);
}

class SizeQuery : public ::testing::Test {
 protected:
  std::shared_ptr<TUninstallObject> AddRecord(const std::wstring& location, int64_t size = 0) {
    TUninstallItem item;
    item.DisplayName = L"sized";
    item.InstallLocation = location;
    item.Size = size;
    item.OwnerWindow = static_cast<HWND>(window.Handle());
    return list.Items(list.Add(-1, item));
  }

  std::atomic<int> notifications{0};
  std::atomic<long long> lastIndex{-1};
  test::TRecorderWindow window{[this](unsigned msg, unsigned long long wParam, long long lParam) {
    if (msg == EngineNotify && wParam == kSizeReadyCode) {
      ++notifications;
      lastIndex = lParam;
    }
  }};
  TSoftwareList list;
};

TEST_F(SizeQuery, AStatedSizeNeverStartsAComputation) {
  auto record = AddRecord(L"C:\\nowhere", 300);
  EXPECT_EQ(record->GetSize(), 300);
  EXPECT_FALSE(record->SizeComputing);
  EXPECT_EQ(record->SizeThread, nullptr);
}

TEST_F(SizeQuery, OneComputationOneNotificationThenNeverAgain) {
  test::TempFolder folder;
  folder.MakeFile(L"a.bin", std::string(3000, 'x'));
  list.Add(-1, TUninstallItem{});  // the record under test is not at index 0
  auto record = AddRecord(folder.Path());
  EXPECT_EQ(record->GetSize(), -1);
  EXPECT_EQ(record->GetSize(), -1);
  ASSERT_TRUE(test::PumpUntil([&] { return notifications.load() >= 1; }));
  test::PumpUntil([] { return false; }, 200);  // a second notification would arrive now
  EXPECT_EQ(notifications.load(), 1);
  EXPECT_EQ(lastIndex.load(), 1);
  EXPECT_TRUE(record->SizeDone);
  EXPECT_FALSE(record->SizeComputing);
  EXPECT_EQ(record->GetSize(), 2);  // 3000 bytes, whole KiB

  folder.MakeFile(L"b.bin", std::string(10000, 'x'));
  EXPECT_EQ(record->GetSize(), 2);  // a finished size is not measured again
  EXPECT_FALSE(record->SizeComputing);
}

TEST_F(SizeQuery, NoLocationNoIconFinishesAtZero) {
  auto record = AddRecord(L"");
  EXPECT_EQ(record->GetSize(), -1);
  ASSERT_TRUE(test::PumpUntil([&] { return record->SizeDone.load(); }));
  EXPECT_EQ(record->GetSize(), 0);
  // The computation's thread still sends its notification: let it, so that
  // the process does not end under a thread blocked in that send.
  EXPECT_TRUE(test::PumpUntil([&] { return notifications.load() > 0; }));
}

TEST_F(SizeQuery, ARefreshDuringTheComputationKeepsTheRecordAndSendsNothing) {
  test::TempFolder folder;
  for (int i = 0; i < 1000; ++i) folder.MakeFile(L"d" + std::to_wstring(i % 10) + L"\\f" + std::to_wstring(i));
  std::weak_ptr<TUninstallObject> weak;
  {
    auto record = AddRecord(folder.Path());
    weak = record;
    EXPECT_EQ(record->GetSize(), -1);
  }
  list.Clear();
  // The computation still holds the record; when it ends it lets go, and
  // its index (which names nothing now) is not sent.
  ASSERT_TRUE(test::PumpUntil([&] { return weak.expired(); }));
  test::PumpUntil([] { return false; }, 100);
  EXPECT_EQ(notifications.load(), 0);
}

}  // namespace
}  // namespace quor
