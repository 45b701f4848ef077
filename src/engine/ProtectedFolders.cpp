#include "engine/ProtectedFolders.h"

#include <windows.h>

#include "base/Text.h"
#include "inventory/EnvironmentStrings.h"

namespace quor {
namespace {

bool IsAbsolute(const std::wstring& folded) {
  return (folded.size() >= 2 && folded[1] == L':') || folded.rfind(L"\\\\", 0) == 0;
}

// "c:" or "\\server\share" (or less).
bool IsRoot(const std::wstring& folded) {
  if (folded.size() <= 2) return true;
  if (folded.rfind(L"\\\\", 0) == 0) {
    const size_t server = folded.find(L'\\', 2);
    return server == std::wstring::npos || folded.find(L'\\', server + 1) == std::wstring::npos;
  }
  return false;
}

}  // namespace

std::wstring FoldFolder(const std::wstring& folder) {
  std::wstring folded = LowerAscii(Trim(folder));
  if (folded.rfind(L"\\\\?\\unc\\", 0) == 0) {
    folded = L"\\\\" + folded.substr(8);
  } else if (folded.rfind(L"\\\\?\\", 0) == 0) {
    folded = folded.substr(4);
  }
  while (!folded.empty() && (folded.back() == L'\\' || folded.back() == L'/')) folded.pop_back();
  return folded;
}

TProtectedFolders::TProtectedFolders(const TEnvironmentStrings* table) {
  if (!table) table = EnvironmentStrings.get();
  if (table) {
    for (const auto& rec : table->Items()) {
      const std::wstring folded = FoldFolder(rec.Value);
      if (IsAbsolute(folded)) FFolders.push_back(folded);
    }
  }
  wchar_t windows[MAX_PATH] = {};
  if (::GetWindowsDirectoryW(windows, MAX_PATH)) FFolders.push_back(FoldFolder(windows));
}

TProtectedFolders TProtectedFolders::ForProgram(const TUninstallObject*) {
  return TProtectedFolders();
}

bool TProtectedFolders::Contains(const std::wstring& folder) const {
  const std::wstring folded = FoldFolder(folder);
  // A relative path would name a folder below whatever the current one is.
  if (!IsAbsolute(folded) || IsRoot(folded)) return true;
  for (const auto& known : FFolders) {
    if (known == folded) return true;
    if (known.size() > folded.size() && known.compare(0, folded.size(), folded) == 0 &&
        known[folded.size()] == L'\\') {
      return true;  // contains a well-known folder
    }
  }
  return false;
}

}  // namespace quor
