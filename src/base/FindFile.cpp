#include "base/FindFile.h"

#include "base/LongPath.h"
#include "base/Text.h"

namespace quor {
namespace {

bool IsDots(const wchar_t* name) {
  return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
}

}  // namespace

TFindFile::TFindFile(const std::wstring& folder, const wchar_t* mask) {
  const std::wstring pattern = LongPath(IncludeBackslash(folder) + mask);
  FFind.Reset(::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &FData, FindExSearchNameMatch,
                                 nullptr, FIND_FIRST_EX_LARGE_FETCH));
  FPending = static_cast<bool>(FFind);
}

bool TFindFile::Next() {
  while (FFind) {
    if (!FPending && !::FindNextFileW(FFind.Get(), &FData)) {
      FFind.Reset();
      return false;
    }
    FPending = false;
    if (!IsDots(FData.cFileName)) return true;
  }
  return false;
}

std::vector<WIN32_FIND_DATAW> ListFolder(const std::wstring& folder, const wchar_t* mask) {
  std::vector<WIN32_FIND_DATAW> entries;
  for (TFindFile find(folder, mask); find.Next();) entries.push_back(find.Entry());
  return entries;
}

bool IsFolderEntry(const WIN32_FIND_DATAW& e) {
  return (e.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsLinkEntry(const WIN32_FIND_DATAW& e) {
  return (e.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

}  // namespace quor
