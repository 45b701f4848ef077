// The registry half of the leftover scan.

#include <cstring>

#include "base/Handles.h"
#include "base/Text.h"
#include "engine/LeftoverRules.h"
#include "engine/LeftoverScan.h"
#include "inventory/Registry.h"

namespace quor {
namespace {

bool Contains(const std::wstring& foldedText, const std::wstring& term) {
  return !term.empty() && foldedText.find(term) != std::wstring::npos;
}

UniqueRegKey OpenRead(HKEY root, const std::wstring& path) {
  UniqueRegKey key;
  ::RegOpenKeyExW(root, path.c_str(), 0, RegAccessMask(TRegAccess::Read), key.Put());
  return key;
}

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

}  // namespace

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
// of a Run key sit directly in it.
void TLeftoverScan::SearchRegKey(HKEY root, const std::wstring& key, int32_t limit) {
  UniqueRegKey open = OpenRead(root, key);
  if (!open) return;
  // A value directly under a root has no item path that the removal could
  // tell from a key's default value: roots' own values are not examined.
  if (!key.empty()) CheckKeyValues(root, open.Get(), key, true);
  SearchLevel(root, open.Get(), key, 0, limit);
}

void TLeftoverScan::SearchLevel(HKEY root, HKEY openKey, const std::wstring& key, int32_t depth,
                                int32_t limit) {
  if (limit != -1 && depth >= limit) return;
  for (const auto& name : SubKeyNames(openKey)) {
    const std::wstring full = JoinKey(key, name);
    if (IsRelatedKeyName(name)) {
      AddRegItem(root, full, L"", true);
      continue;
    }
    UniqueRegKey sub = OpenRead(openKey, name);
    if (!sub) continue;
    CheckKeyValues(root, sub.Get(), full, false);
    if (!IsSkippedKey(name)) SearchLevel(root, sub.Get(), full, depth + 1, limit);
  }
}

// A rule key's own default value never stands for the key: the rule keys
// are shared places (Software, Run...) that must not be listed whole.
void TLeftoverScan::CheckKeyValues(HKEY root, HKEY openKey, const std::wstring& key, bool ruleKey) {
  ForEachValue(openKey, FValueBuffers, [&](const std::wstring& name, DWORD type, const BYTE* data, size_t size) {
    if (type != REG_SZ && type != REG_EXPAND_SZ) return;
    const std::wstring text = RegBytesToText(data, size);
    if (ruleKey && name.empty()) {
      CheckDefaultOfRuleKey(root, key, text);
    } else {
      CheckValueText(root, key, name, text);
    }
  });
}

void TLeftoverScan::CheckDefaultOfRuleKey(HKEY root, const std::wstring& key,
                                          const std::wstring& rawText) {
  const std::wstring text = LowerAscii(rawText);
  if (Contains(text, FTerms.Name) || Contains(text, FTerms.Folder) ||
      Contains(text, FTerms.Location)) {
    AddRegItem(root, key, L"", false);
  }
}

bool TLeftoverScan::IsRelatedKeyName(const std::wstring& name) const {
  if (name.empty()) return false;
  const std::wstring folded = LowerAscii(name);
  return Contains(folded, FTerms.Location) || Contains(folded, FTerms.Name) ||
         Contains(folded, FTerms.Guid);
}

void TLeftoverScan::CheckRegValue(HKEY root, const std::wstring& key, const std::wstring& valueName) {
  CheckValueText(root, key, valueName, ReadRegString(root, key, valueName));
}

// A default value matched by name or folder stands for its key. One matched
// only by the install location is listed as the key path with a trailing
// backslash: the removal reads that as the key's default value, not as a
// value named after the key in its parent.
void TLeftoverScan::CheckValueText(HKEY root, const std::wstring& key, const std::wstring& valueName,
                                   const std::wstring& rawText) {
  const std::wstring text = LowerAscii(rawText);
  if (text.empty()) return;
  const bool isDefault = valueName.empty();
  if (Contains(text, FTerms.Name) || Contains(text, FTerms.Folder)) {
    AddRegItem(root, key, valueName, isDefault);
  } else if (Contains(text, FTerms.Location)) {
    AddRegItem(root, key, valueName, false);
  }
}

// The displayed path of a key's default value is the key path with a
// trailing backslash; the fields say exactly what to delete.
void TLeftoverScan::AddRegItem(HKEY root, const std::wstring& key, const std::wstring& valueName,
                               bool isKey) {
  TLeftOverItem item;
  item.Kind = isKey ? lkRegKey : lkRegValue;
  item.Root = root;
  item.KeyPath = key;
  item.ValueName = isKey ? L"" : valueName;
  item.Path = RootKeyName(root) + L"\\" + (isKey ? key : IncludeBackslash(key) + valueName);
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
