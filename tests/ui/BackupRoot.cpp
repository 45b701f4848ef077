#include "ui/BackupRoot.h"

#include <windows.h>

#include <algorithm>

#include "base/Handles.h"
#include "base/Text.h"
#include "engine/Backup.h"

namespace quor::test {
namespace {

FILETIME DaysAgo(int days) {
  FILETIME now{};
  ::GetSystemTimeAsFileTime(&now);
  const uint64_t ticks = ((uint64_t(now.dwHighDateTime) << 32) | now.dwLowDateTime) -
                         uint64_t(days) * 24 * 3600 * 10000000ULL;
  return FILETIME{DWORD(ticks), DWORD(ticks >> 32)};
}

// A set for one file of a program of that name; the caller fills the item.
std::unique_ptr<TBackupWriter> NewSet(const std::wstring& folder, const std::wstring& name,
                                      const std::wstring& file, int days, std::wstring& error) {
  TSoftwareList list;
  TUninstallItem item;
  item.DisplayName = name;
  auto program = list.Items(list.Add(-1, item));
  program->AddLeftover({file, lkFile});
  TBackupOptions options;
  options.Folder = folder;
  options.Time = DaysAgo(days);
  return TBackupWriter::Create(options, *program, error);
}

}  // namespace

TBackupRoot::TBackupRoot(const std::wstring& prefix) : FAppData(prefix) {
  wchar_t old[32768] = {};
  const DWORD n = ::GetEnvironmentVariableW(L"LOCALAPPDATA", old, 32768);
  if (n > 0 && n < 32768) FOld = std::wstring(old, n);
  ::SetEnvironmentVariableW(L"LOCALAPPDATA", FAppData.Path().c_str());
}

TBackupRoot::~TBackupRoot() {
  ::SetEnvironmentVariableW(L"LOCALAPPDATA", FOld ? FOld->c_str() : nullptr);
}

testing::AssertionResult TBackupRoot::Add(const std::wstring& name, int days) const {
  std::wstring error;
  auto writer = NewSet(Folder(), name, L"C:\\gone\\" + name + L".txt", days, error);
  if (!writer) return testing::AssertionFailure() << ToUtf8(error);
  writer->Item(0).Place = L"files\\0\\" + name + L".txt";
  writer->Item(0).Size = 10;
  if (!writer->WriteRecord(error)) return testing::AssertionFailure() << ToUtf8(error);
  return testing::AssertionSuccess();
}

testing::AssertionResult TBackupRoot::Remove(const std::wstring& name, const std::wstring& file,
                                             int days) const {
  std::wstring error;
  auto writer = NewSet(Folder(), name, file, days, error);
  if (!writer) return testing::AssertionFailure() << ToUtf8(error);
  const int64_t size = int64_t(ReadFileBytes(file).size());
  const std::wstring place = writer->PrepareFilePlace(0, file, error);
  if (place.empty()) return testing::AssertionFailure() << ToUtf8(error);
  if (!::MoveFileW(file.c_str(), place.c_str()))
    return testing::AssertionFailure() << "cannot move " << ToUtf8(file);
  writer->Item(0).Size = size;
  writer->Item(0).Outcome = "removed";
  if (!writer->WriteRecord(error)) return testing::AssertionFailure() << ToUtf8(error);
  return testing::AssertionSuccess();
}

std::vector<std::wstring> TBackupRoot::Programs() const {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW data{};
  UniqueFindHandle find(::FindFirstFileW((Folder() + L"\\*").c_str(), &data));
  if (!find) return names;
  do {
    const std::wstring name = data.cFileName;
    const size_t blank = name.rfind(L' ');
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && blank != std::wstring::npos)
      names.push_back(name.substr(blank + 1));
  } while (::FindNextFileW(find.Get(), &data));
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace quor::test
