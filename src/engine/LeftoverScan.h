#pragma once
// The scan for what a program left behind: files, folders, registry keys and
// values that bear the program's install folder, name, folder name or
// product code, collected into the record's leftover list. Every item says
// what found it and how sure the scan is.

#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "base/FileExists.h"
#include "engine/MatchTerms.h"
#include "engine/ProtectedFolders.h"
#include "inventory/UninstallObject.h"

namespace quor {

class TEngineCore;

// Clears the record's leftover list and fills it anew; reports progress
// through the engine after each rule entry and stops before the next rule
// entry (or directory entry) once the engine is cancelled.
void ScanLeftovers(TEngineCore& engine, TUninstallObject& program);

// Buffers for reading registry values, reused from key to key.
struct TRegValueBuffers {
  std::wstring Name = std::wstring(512, L'\0');
  std::vector<BYTE> Data = std::vector<BYTE>(4096);
};

class TLeftoverScan {
 public:
  TLeftoverScan(TEngineCore& engine, TUninstallObject& program);
  // With a guard of the caller's (tests).
  TLeftoverScan(TEngineCore& engine, TUninstallObject& program, TProtectedFolders guard);
  void Run();

  // Files and folders.
  void AddPathItem(const std::wstring& folder, const std::wstring& name, uint8_t kind,
                   const TMatch& match);
  // The folder and everything below it; the folder's own item carries
  // `match`, what lies below it the same confidence and `below`.
  void AddFolderTree(const std::wstring& folder, const TMatch& match, TMatchedBy below);
  void SearchFolder(const std::wstring& folder);
  // A shortcut by its target (a folder named "*.lnk" too), anything else by
  // its name or by lying inside the install folder.
  std::optional<TMatch> IsRelatedFile(const std::wstring& folder, const std::wstring& name) const;

  // Registry.
  void RunRule(const std::wstring& rule);
  void SearchRegKey(HKEY root, const std::wstring& key, int32_t limit);
  std::optional<TMatch> IsRelatedKeyName(const std::wstring& name) const;
  void CheckRegValue(HKEY root, const std::wstring& key, const std::wstring& valueName);
  void AddRegItem(HKEY root, const std::wstring& key, const std::wstring& valueName, bool isKey,
                  const TMatch& match);

  const TMatchTerms& Terms() const { return FTerms; }
  const TProtectedFolders& Guard() const { return FGuard; }

 private:
  bool Cancelled() const;
  void AddInstallFolder();
  void AddFolderTreeEntries(const std::wstring& folder, const TMatch& match);
  void CheckValueText(HKEY root, const std::wstring& key, const std::wstring& valueName,
                      const std::wstring& text, bool weakOnly, bool keyNeverListed,
                      const TMatchTerms& terms);
  void CheckKeyValues(HKEY root, HKEY openKey, const std::wstring& key, bool ruleKey,
                      bool keyNeverListed, const TMatchTerms& terms);
  // A class key that other programs share: a fixed name, a file type, an
  // installer class, or a class that a file type points to or a protocol,
  // unless its commands run this program. No name term reaches inside one.
  bool IsSharedClass(HKEY root, const std::wstring& classKey, const std::wstring& lowerName);
  bool RunsThisProgram(HKEY root, const std::wstring& classKey) const;
  const std::unordered_set<std::wstring>& ClassesOfFileTypes();
  void CheckDefaultOfRuleKey(HKEY root, const std::wstring& key, const std::wstring& text);

  TEngineCore& FEngine;
  TUninstallObject& FProgram;
  TProtectedFolders FGuard;
  TMatchTerms FTerms;
  TMatchTerms FSharedTerms;  // inside shared class keys: location and product code only
  TRegValueBuffers FValueBuffers;
  std::optional<std::unordered_set<std::wstring>> FFileTypeClasses;  // lower-cased
  std::map<std::wstring, bool> FSharedClasses;  // by root name and lower-cased path
};

// The target of a shell shortcut, or empty.
std::wstring GetLinkTarget(const std::wstring& path);

bool IsSkippedKey(const std::wstring& name);
bool WildcardMatch(const std::wstring& mask, const std::wstring& text);
// Keys that are never listed whole, whatever matches: the fixed shared class
// keys (file types, "*", "CLSID", "Msi.*", "http"...) below any classes root
// and the shared keys of a Software key ("Classes", "Microsoft",
// "Policies"...). Values in them still may be. The scan guards further
// shared classes that it finds in the registry itself (IsSharedClass).
bool IsNeverListedKey(HKEY root, const std::wstring& path);
// True when the key opens, and when opening it is refused for lack of rights.
bool KeyExists(HKEY root, const std::wstring& path, bool nativeView = true);
bool GetValueNames(HKEY root, const std::wstring& path, std::vector<std::wstring>& names);

}  // namespace quor
