#pragma once
// The scan for what a program left behind: files, folders, registry keys and
// values that bear the program's install folder, name, folder name or
// product code, collected into the record's leftover list.

#include <windows.h>

#include <string>
#include <vector>

#include "engine/ProtectedFolders.h"
#include "inventory/UninstallObject.h"

namespace quor {

class TUninstallHelper;

// The program's identifying texts: trimmed, lower-cased over A to Z; an
// empty term takes part in no test.
struct TMatchTerms {
  std::wstring Location;
  std::wstring Name;
  std::wstring Folder;
  std::wstring Guid;
};

// The terms of a record. An install location that is a well-known folder
// (a drive root, the profile, program files...) identifies nothing, so then
// neither it nor its last component serves as a term.
TMatchTerms MakeMatchTerms(const TUninstallObject& program, const TProtectedFolders& guard);

// Clears the record's leftover list and fills it anew; reports progress
// through the engine after each rule entry and stops before the next rule
// entry (or directory entry) once the engine is cancelled.
void ScanLeftovers(TUninstallHelper& engine, TUninstallObject& program);

// Buffers for reading registry values, reused from key to key.
struct TRegValueBuffers {
  std::wstring Name = std::wstring(512, L'\0');
  std::vector<BYTE> Data = std::vector<BYTE>(4096);
};

class TLeftoverScan {
 public:
  TLeftoverScan(TUninstallHelper& engine, TUninstallObject& program);
  void Run();

  // Files and folders.
  void AddPathItem(const std::wstring& folder, const std::wstring& name, uint8_t kind);
  void AddFolderTree(const std::wstring& folder);
  void SearchFolder(const std::wstring& folder);
  bool IsRelatedFile(const std::wstring& folder, const WIN32_FIND_DATAW& entry) const;

  // Registry.
  void RunRule(const std::wstring& rule);
  void SearchRegKey(HKEY root, const std::wstring& key, int32_t limit);
  bool IsRelatedKeyName(const std::wstring& name) const;
  void CheckRegValue(HKEY root, const std::wstring& key, const std::wstring& valueName);
  void AddRegItem(HKEY root, const std::wstring& key, const std::wstring& valueName, bool isKey);

  const TMatchTerms& Terms() const { return FTerms; }

 private:
  bool Cancelled() const;
  void SearchLevel(HKEY root, HKEY openKey, const std::wstring& key, int32_t depth, int32_t limit);
  void CheckValueText(HKEY root, const std::wstring& key, const std::wstring& valueName,
                      const std::wstring& text);
  void CheckKeyValues(HKEY root, HKEY openKey, const std::wstring& key, bool ruleKey);
  void CheckDefaultOfRuleKey(HKEY root, const std::wstring& key, const std::wstring& text);
  void AddFolderTreeEntries(const std::wstring& folder);

  TUninstallHelper& FEngine;
  TUninstallObject& FProgram;
  TProtectedFolders FGuard;
  TMatchTerms FTerms;
  TRegValueBuffers FValueBuffers;
};

// The target of a shell shortcut, or empty.
std::wstring GetLinkTarget(const std::wstring& path);
// Existence, also of a program named without its extension.
bool FileExistsEx(const std::wstring& path);

bool IsSkippedKey(const std::wstring& name);
bool WildcardMatch(const std::wstring& mask, const std::wstring& text);
// True when the key opens, and when opening it is refused for lack of rights.
bool KeyExists(HKEY root, const std::wstring& path, bool nativeView = true);
bool GetValueNames(HKEY root, const std::wstring& path, std::vector<std::wstring>& names);

}  // namespace quor
