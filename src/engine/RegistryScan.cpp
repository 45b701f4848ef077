// The registry half of the leftover scan.

#include <cstring>
#include <optional>

#include "base/Handles.h"
#include "base/TermMatch.h"
#include "base/Text.h"
#include "engine/LeftoverRules.h"
#include "engine/LeftoverScan.h"
#include "inventory/Registry.h"

namespace quor {
namespace {

UniqueRegKey OpenRead(HKEY root, const std::wstring& path) {
  UniqueRegKey key;
  ::RegOpenKeyExW(root, path.c_str(), 0, RegAccessMask(TRegAccess::Read), key.Put());
  return key;
}

// Opens a sub-key as itself: a registry link is opened as the link, not as
// the key it points at.
UniqueRegKey OpenReadNoFollow(HKEY parent, const std::wstring& name) {
  UniqueRegKey key;
  ::RegOpenKeyExW(parent, name.c_str(), REG_OPTION_OPEN_LINK, RegAccessMask(TRegAccess::Read),
                  key.Put());
  return key;
}

// A name holding a NUL cannot be named to the usual registry functions: a
// deletion would reach the key or value named by the text before the NUL.
bool HasNul(const std::wstring& name) { return name.find(L'\0') != std::wstring::npos; }

std::wstring JoinKey(const std::wstring& key, const std::wstring& name) {
  return key.empty() ? name : IncludeBackslash(key) + name;
}

std::vector<std::wstring> SubKeyNames(HKEY key) {
  std::vector<std::wstring> names;
  GetSubKeyNamesOf(key, names);
  return names;
}

// Calls `visit(name, type, data, size)` for every value of an open key,
// reading names and data in one enumeration. The buffers grow as needed and
// are reused from key to key.
template <typename Visit>
void ForEachValue(HKEY key, TRegValueBuffers& buffers, Visit visit) {
  int regrowths = 0;
  for (DWORD i = 0;; ++i) {
    DWORD nameLen = static_cast<DWORD>(buffers.Name.size());
    DWORD dataLen = static_cast<DWORD>(buffers.Data.size());
    DWORD type = 0;
    const LSTATUS rc = ::RegEnumValueW(key, i, buffers.Name.data(), &nameLen, nullptr, &type,
                                       buffers.Data.data(), &dataLen);
    if (rc == ERROR_MORE_DATA && ++regrowths < 32) {
      // Value names are at most 16,383 characters; data can be any size.
      buffers.Name.resize(16384);
      buffers.Data.resize(std::max<size_t>(buffers.Data.size() * 2, static_cast<size_t>(dataLen) + 2));
      --i;
      continue;
    }
    if (rc != ERROR_SUCCESS) break;
    visit(std::wstring(buffers.Name.data(), nameLen), type, buffers.Data.data(),
          static_cast<size_t>(dataLen));
  }
}

// One key of the walk: the open key, its path and the sub-keys still to do.
struct TKeyFrame {
  UniqueRegKey Key;
  std::wstring Path;
  std::vector<std::wstring> Names;
  size_t Next = 0;
  int32_t Depth = 0;
  bool Shared = false;  // at or below a shared class key
};

bool IsClassesChildShared(const std::wstring& name) {
  // Classes of the system and of every program: the shell's own objects,
  // the common file types and protocols, the COM and installer registries.
  static const wchar_t* const kShared[] = {L"*",
                                           L"exefile",
                                           L"lnkfile",
                                           L"batfile",
                                           L"cmdfile",
                                           L"comfile",
                                           L"directory",
                                           L"drive",
                                           L"folder",
                                           L"allfilesystemobjects",
                                           L"appid",
                                           L"typelib",
                                           L"clsid",
                                           L"interface",
                                           L"installer",
                                           L"http",
                                           L"https",
                                           L"ftp",
                                           L"file",
                                           L"mailto",
                                           L"htmlfile",
                                           L"txtfile",
                                           L"inifile",
                                           L"regfile",
                                           L"unknown",
                                           L"mime",
                                           L"protocols",
                                           L"systemfileassociations",
                                           L"local settings",
                                           L"componentcategories"};
  if (name.empty() || name.front() == L'.') return true;  // every file-type key
  if (name.rfind(L"msi.", 0) == 0 || name.rfind(L"windowsinstaller.", 0) == 0) return true;
  for (const wchar_t* shared : kShared) {
    if (name == shared) return true;
  }
  return false;
}

// A class name, or the 32-bit view's container of classes.
bool IsNeverListedClass(const std::wstring& name) {
  return name == L"wow6432node" || IsClassesChildShared(name);
}

bool IsSoftwareChildShared(const std::wstring& name) {
  static const wchar_t* const kShared[] = {L"classes",     L"microsoft", L"policies",
                                           L"wow6432node", L"clients",   L"registeredapplications"};
  for (const wchar_t* shared : kShared) {
    if (name == shared) return true;
  }
  return false;
}

// Where the class name begins in a lower-cased key path below a classes
// root: HKCR\[Wow6432Node\]<class>, <root>\Software\[Wow6432Node\]Classes
// [Wow6432Node\]<class>, HKU\<sid>_Classes\[Wow6432Node\]<class> and
// HKU\<sid>\Software\Classes\<class>; nothing for any other path.
std::optional<size_t> ClassNameStart(HKEY root, std::wstring_view path) {
  size_t at = 0;
  auto skip = [&](std::wstring_view part) {
    if (path.size() - at <= part.size() || path.substr(at, part.size()) != part) return false;
    at += part.size();
    return true;
  };
  if (root == HKEY_CLASSES_ROOT) {
    skip(L"wow6432node\\");
    return at;
  }
  if (root == HKEY_USERS) {
    const size_t cut = path.find(L'\\');
    if (cut == std::wstring_view::npos) return std::nullopt;
    const std::wstring_view hive = path.substr(0, cut);
    at = cut + 1;
    if (hive.size() > 8 && hive.substr(hive.size() - 8) == L"_classes") {
      skip(L"wow6432node\\");
      return at;
    }
  }
  if (!skip(L"software\\")) return std::nullopt;
  skip(L"wow6432node\\");
  if (!skip(L"classes\\")) return std::nullopt;
  skip(L"wow6432node\\");
  return at;
}

// The rest of `path` after `prefix` when it is one key name, else nothing.
std::optional<std::wstring> ChildOf(const std::wstring& path, const std::wstring& prefix) {
  if (path.size() <= prefix.size() || path.compare(0, prefix.size(), prefix) != 0) return std::nullopt;
  std::wstring rest = path.substr(prefix.size());
  if (rest.find(L'\\') != std::wstring::npos) return std::nullopt;
  return rest;
}

}  // namespace

bool IsNeverListedKey(HKEY root, const std::wstring& path) {
  std::wstring p = LowerAscii(path);
  if (const auto start = ClassNameStart(root, p)) {
    const std::wstring name = p.substr(*start);
    if (name.find(L'\\') == std::wstring::npos) return IsNeverListedClass(name);
  }
  if (root == HKEY_USERS) {
    // "<sid>\Software\...": the same keys per user.
    const size_t cut = p.find(L'\\');
    if (cut == std::wstring::npos) return true;  // a user's whole hive
    p = p.substr(cut + 1);
  }
  for (const wchar_t* software : {L"software\\", L"software\\wow6432node\\"}) {
    if (auto name = ChildOf(p, software)) return IsSoftwareChildShared(*name);
  }
  return false;
}

void TLeftoverScan::RunRule(const std::wstring& rule) {
  const size_t eq = rule.find(L'=');
  const std::wstring keyPart = rule.substr(0, eq);
  const std::wstring valueName = eq == std::wstring::npos ? L"" : rule.substr(eq + 1);
  const size_t slash = keyPart.find(L'\\');
  const HKEY root = RootKeyByName(keyPart.substr(0, slash));
  const std::wstring key = slash == std::wstring::npos ? L"" : keyPart.substr(slash + 1);
  if (!valueName.empty()) {
    CheckRegValue(root, key, valueName);
  } else {
    SearchRegKey(root, key, 3);
  }
}

// The rule key's own values are examined first: values such as the entries
// of a Run key sit directly in it. Then its tree, to `limit` levels, on an
// explicit stack. Registry links are never followed, and names holding a NUL
// are passed over.
void TLeftoverScan::SearchRegKey(HKEY root, const std::wstring& key, int32_t limit) {
  UniqueRegKey open = OpenRead(root, key);
  if (!open) return;
  // A value directly under a root has no item path that the removal could
  // tell from a key's default value: roots' own values are not examined.
  if (!key.empty()) CheckKeyValues(root, open.Get(), key, true, false, FTerms);
  if (limit == 0) return;
  std::vector<TKeyFrame> stack;
  std::vector<std::wstring> names = SubKeyNames(open.Get());
  stack.push_back({std::move(open), key, std::move(names), 0, 0});
  while (!stack.empty()) {
    TKeyFrame& top = stack.back();
    if (top.Next == top.Names.size()) {
      stack.pop_back();
      continue;
    }
    const std::wstring name = top.Names[top.Next++];
    if (HasNul(name)) continue;
    const std::wstring full = JoinKey(top.Path, name);
    bool shared = top.Shared;
    bool sharedClassKey = false;
    if (!shared) {
      const std::wstring lower = LowerAscii(full);
      const auto start = ClassNameStart(root, lower);
      if (start && lower.find(L'\\', *start) == std::wstring::npos) {
        shared = sharedClassKey = IsSharedClass(root, full, lower.substr(*start));
      }
    }
    const TMatchTerms& terms = shared ? FSharedTerms : FTerms;
    const bool neverListed = sharedClassKey || IsNeverListedKey(root, full);
    if (!neverListed) {
      if (auto match = MatchKeyName(terms, LowerAscii(name))) {
        AddRegItem(root, full, L"", true, *match);
        continue;
      }
    }
    UniqueRegKey sub = OpenReadNoFollow(top.Key.Get(), name);
    if (!sub || IsRegistryLink(sub.Get())) continue;
    CheckKeyValues(root, sub.Get(), full, false, neverListed, terms);
    const int32_t depth = top.Depth + 1;
    if (IsSkippedKey(name) || (limit != -1 && depth >= limit)) continue;
    std::vector<std::wstring> subNames = SubKeyNames(sub.Get());
    stack.push_back({std::move(sub), full, std::move(subNames), 0, depth, shared});
  }
}

bool TLeftoverScan::IsSharedClass(HKEY root, const std::wstring& classKey,
                                  const std::wstring& lowerName) {
  if (IsClassesChildShared(lowerName)) return true;
  const std::wstring cacheKey = RootKeyName(root) + L"\\" + LowerAscii(classKey);
  if (auto found = FSharedClasses.find(cacheKey); found != FSharedClasses.end())
    return found->second;
  bool shared = ClassesOfFileTypes().count(lowerName) > 0;
  if (!shared) {
    UniqueRegKey key = OpenRead(root, classKey);
    shared = key && ::RegQueryValueExW(key.Get(), L"URL Protocol", nullptr, nullptr, nullptr,
                                       nullptr) == ERROR_SUCCESS;
  }
  shared = shared && !RunsThisProgram(root, classKey);
  FSharedClasses.emplace(cacheKey, shared);
  return shared;
}

// A class is the program's own when its icon or one of its commands is a
// program in the install folder.
bool TLeftoverScan::RunsThisProgram(HKEY root, const std::wstring& classKey) const {
  if (FTerms.Location.empty()) return false;
  auto inFolder = [&](const std::wstring& text) {
    return StartsWithFolderPath(LowerAscii(text), FTerms.Location);
  };
  if (inFolder(ReadRegString(root, classKey + L"\\DefaultIcon", L""))) return true;
  std::vector<std::wstring> verbs;
  GetSubKeyNames(root, classKey + L"\\shell", verbs);
  constexpr size_t kMostVerbs = 64;
  for (size_t i = 0; i < verbs.size() && i < kMostVerbs; ++i) {
    if (HasNul(verbs[i])) continue;
    if (inFolder(ReadRegString(root, classKey + L"\\shell\\" + verbs[i] + L"\\command", L"")))
      return true;
  }
  return false;
}

// The classes that file types point to (".txt" to "txtfile"), by their
// default value or their "OpenWithProgids" list, in the merged view and in
// the user's own classes (some systems merge none into the first); read
// once per scan.
const std::unordered_set<std::wstring>& TLeftoverScan::ClassesOfFileTypes() {
  if (FFileTypeClasses) return *FFileTypeClasses;
  FFileTypeClasses.emplace();
  const std::pair<HKEY, const wchar_t*> places[] = {{HKEY_CLASSES_ROOT, L""},
                                                    {HKEY_CURRENT_USER, L"Software\\Classes"}};
  for (const auto& [root, path] : places) {
    std::vector<std::wstring> names;
    GetSubKeyNames(root, path, names);
    for (const auto& name : names) {
      if (name.empty() || name.front() != L'.' || HasNul(name)) continue;
      const std::wstring key = JoinKey(path, name);
      const std::wstring progId = LowerAscii(Trim(ReadRegString(root, key, L"")));
      if (!progId.empty()) FFileTypeClasses->insert(progId);
      std::vector<std::wstring> listed;
      GetValueNames(root, key + L"\\OpenWithProgids", listed);
      for (const auto& other : listed) {
        if (!other.empty()) FFileTypeClasses->insert(LowerAscii(other));
      }
    }
  }
  return *FFileTypeClasses;
}

// A rule key's own default value never stands for the key: the rule keys
// are shared places (Software, Run...) that must not be listed whole.
void TLeftoverScan::CheckKeyValues(HKEY root, HKEY openKey, const std::wstring& key, bool ruleKey,
                                   bool keyNeverListed, const TMatchTerms& terms) {
  ForEachValue(openKey, FValueBuffers, [&](const std::wstring& name, DWORD type, const BYTE* data, size_t size) {
    if (type != REG_SZ && type != REG_EXPAND_SZ) return;
    if (HasNul(name)) return;
    const std::wstring text = RegBytesToText(data, size);
    if (ruleKey && name.empty()) {
      CheckDefaultOfRuleKey(root, key, text);
    } else {
      CheckValueText(root, key, name, text, false, keyNeverListed, terms);
    }
  });
}

void TLeftoverScan::CheckDefaultOfRuleKey(HKEY root, const std::wstring& key,
                                          const std::wstring& rawText) {
  if (auto match = MatchValueText(FTerms, LowerAscii(rawText))) {
    AddRegItem(root, key, L"", false, *match);
  }
}

std::optional<TMatch> TLeftoverScan::IsRelatedKeyName(const std::wstring& name) const {
  return MatchKeyName(FTerms, LowerAscii(name));
}

// The shared "load" value lists several programs: what it bears is only a
// weak sign.
void TLeftoverScan::CheckRegValue(HKEY root, const std::wstring& key, const std::wstring& valueName) {
  CheckValueText(root, key, valueName, ReadRegString(root, key, valueName),
                 SameTextAscii(valueName, L"load"), false, FTerms);
}

// A default value matched by name or folder stands for its key, as a weak
// item: the key may hold other things. One matched by the install location
// is listed as the default value itself (the key path with a trailing
// backslash). A key that is never listed whole gives its default value.
void TLeftoverScan::CheckValueText(HKEY root, const std::wstring& key,
                                   const std::wstring& valueName, const std::wstring& rawText,
                                   bool weakOnly, bool keyNeverListed, const TMatchTerms& terms) {
  auto match = MatchValueText(terms, LowerAscii(rawText));
  if (!match) return;
  if (weakOnly) match->Confidence = TConfidence::Low;
  const bool standsForKey = valueName.empty() && match->By != TMatchedBy::Location;
  if (standsForKey) {
    match->Confidence = TConfidence::Low;
    AddRegItem(root, key, L"", !keyNeverListed, *match);
  } else {
    AddRegItem(root, key, valueName, false, *match);
  }
}

// The displayed path of a key's default value is the key path with a
// trailing backslash; the fields say exactly what to delete.
void TLeftoverScan::AddRegItem(HKEY root, const std::wstring& key, const std::wstring& valueName,
                               bool isKey, const TMatch& match) {
  TLeftOverItem item;
  item.Kind = isKey ? lkRegKey : lkRegValue;
  item.Root = root;
  item.KeyPath = key;
  item.ValueName = isKey ? L"" : valueName;
  item.Path = RootKeyName(root) + L"\\" + (isKey ? key : IncludeBackslash(key) + valueName);
  item.MatchedBy = match.By;
  item.Confidence = match.Confidence;
  FProgram.AddLeftover(item);
}

bool IsSkippedKey(const std::wstring& name) {
  for (const auto& mask : SkippedKeyNames) {
    if (WildcardMatch(LowerAscii(mask), LowerAscii(name))) return true;
  }
  return false;
}

bool WildcardMatch(const std::wstring& mask, const std::wstring& text) {
  const std::wstring m = LowerAscii(mask);
  const std::wstring t = LowerAscii(text);
  size_t mi = 0, ti = 0, star = std::wstring::npos, mark = 0;
  while (ti < t.size()) {
    if (mi < m.size() && (m[mi] == L'?' || m[mi] == t[ti])) {
      ++mi;
      ++ti;
    } else if (mi < m.size() && m[mi] == L'*') {
      star = mi++;
      mark = ti;
    } else if (star != std::wstring::npos) {
      mi = star + 1;
      ti = ++mark;
    } else {
      return false;
    }
  }
  while (mi < m.size() && m[mi] == L'*') ++mi;
  return mi == m.size();
}

bool KeyExists(HKEY root, const std::wstring& path, bool nativeView) {
  UniqueRegKey key;
  const REGSAM mask = nativeView ? RegAccessMask(TRegAccess::Read) : KEY_READ;
  const LSTATUS rc = ::RegOpenKeyExW(root, path.c_str(), 0, mask, key.Put());
  return rc == ERROR_SUCCESS || rc == ERROR_ACCESS_DENIED;
}

bool GetValueNames(HKEY root, const std::wstring& path, std::vector<std::wstring>& names) {
  UniqueRegKey key = OpenRead(root, path);
  if (!key) return false;
  names.clear();
  TRegValueBuffers buffers;
  ForEachValue(key.Get(), buffers, [&](const std::wstring& name, DWORD, const BYTE*, size_t) {
    names.push_back(name);
  });
  return true;
}

}  // namespace quor
