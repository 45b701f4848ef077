#include "engine/ProtectedFolders.h"

#include <windows.h>

#include <vector>

#include "base/Text.h"
#include "inventory/EnumPrograms.h"
#include "inventory/Registry.h"
#include "inventory/UninstallObject.h"

namespace quor {
namespace {

struct TUninstallLocation {
  HKEY Root;
  const wchar_t* Path;
};

// Every registration counts here, hidden ones too: they are installed.
void AddOtherRegistrations(TProtectedFolders& set, const TUninstallObject* program) {
  std::vector<TUninstallLocation> locations = {{HKEY_CURRENT_USER, kUninstallKeyPath},
                                               {HKEY_LOCAL_MACHINE, kUninstallKeyPath}};
  if (IsWin64()) {
    locations.push_back({HKEY_CURRENT_USER, kUninstallKeyPathWow});
    locations.push_back({HKEY_LOCAL_MACHINE, kUninstallKeyPathWow});
  }
  for (const auto& location : locations) {
    std::vector<std::wstring> names;
    if (!GetSubKeyNames(location.Root, location.Path, names)) continue;
    for (const auto& name : names) {
      const std::wstring keyPath = IncludeBackslash(location.Path) + name;
      if (program && program->RootKey == location.Root && SameTextAscii(program->KeyPath, keyPath)) {
        continue;
      }
      UniqueRegKey key = OpenKeyForRead(location.Root, keyPath);
      if (!key) continue;
      set.AddOwnedFolder(ReadKeyString(key.Get(), L"InstallLocation"));
      set.AddOwnedFolder(CommandFolder(ReadKeyString(key.Get(), L"UninstallString")));
    }
  }
}

}  // namespace

TProtectedFolders::TProtectedFolders(const TEnvironmentStrings* table)
    : FKnown(TKnownFolders::ForMachine(table)) {}

TProtectedFolders TProtectedFolders::ForProgram(const TUninstallObject* program) {
  TProtectedFolders set;
  AddOtherRegistrations(set, program);
  return set;
}

bool TProtectedFolders::Contains(const std::wstring& folder) const { return FKnown.Protects(folder); }

bool TProtectedFolders::Contains(const TCanonicalFolder& folder) const {
  return FKnown.Protects(folder);
}

// A name met in such a walk is a real entry, not a spelling: one that the
// canonical form refuses ("data.", "50%") is no protected folder.
bool TProtectedFolders::ContainsPathText(const std::wstring& path) const {
  const auto text = CanonicalFolderText(path);
  if (!text) return false;
  TCanonicalFolder folder;
  folder.Path = *text;
  folder.Final = *text;
  return FKnown.Protects(folder);
}

std::optional<TCanonicalFolder> TProtectedFolders::Canonical(const std::wstring& folder) const {
  return CanonicalFolder(folder, FKnown.Expander());
}

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

std::wstring CommandFolder(const std::wstring& command) {
  std::wstring program = Trim(command);
  if (program.empty()) return {};
  if (program.front() == L'"') {
    const size_t close = program.find(L'"', 1);
    program = program.substr(1, close == std::wstring::npos ? std::wstring::npos : close - 1);
  } else {
    const size_t exe = FindAscii(program, L".exe");
    if (exe != std::wstring::npos) program.resize(exe + 4);
  }
  const size_t cut = program.find_last_of(L'\\');
  return cut == std::wstring::npos ? std::wstring() : program.substr(0, cut);
}

}  // namespace quor
