#pragma once
// Registry readers shared by the enumeration, the leftover scan and the
// removal. They accept whatever is stored and answer empty text or 0 when a
// value is missing, of another type, or unreadable.

#include <windows.h>

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Handles.h"
#include "base/Text.h"

namespace quor {

enum class TRegAccess { Read, Full };

// True when running on 64-bit Windows. Determined once; tests may override it
// to exercise the 32-bit behaviour.
bool IsWin64();
void SetIsWin64(bool value);

DWORD RegAccessMask(TRegAccess access);

// Opens a key for reading, trying KEY_READ, then read-and-enumerate, then
// query-only access (each with the 64-bit view flag of RegAccessMask).
UniqueRegKey OpenKeyForRead(HKEY root, const std::wstring& path);

bool GetSubKeyNames(HKEY root, const std::wstring& path, std::vector<std::wstring>& names);
// The sub-key names of an open key, in enumeration order.
void GetSubKeyNamesOf(HKEY key, std::vector<std::wstring>& names);
std::wstring ReadRegString(HKEY root, const std::wstring& path, const std::wstring& name);
int32_t ReadRegDWord(HKEY root, const std::wstring& path, const std::wstring& name);

// Readers over a key that is already open.
struct TRegValue {
  DWORD Type = REG_NONE;
  std::vector<BYTE> Data;
};
std::optional<TRegValue> QueryRegValue(HKEY key, const std::wstring& name);
// Text of a REG_SZ or REG_EXPAND_SZ value up to its first NUL, else empty.
std::wstring ReadKeyString(HKEY key, const std::wstring& name);
// A REG_DWORD value, else 0.
int32_t ReadKeyDWord(HKEY key, const std::wstring& name);
// The values of an open key, looked up by name ignoring case, as the
// registry compares them. A registration holds a handful of values while its
// readers ask for many names, mostly absent: Read takes them all with one
// enumeration. Where a reader needs only a few names, Ask queries each name
// when first looked up and keeps the answer, absence included. When an
// enumeration fails part-way, each look-up asks the key itself.
class TRegValueSet {
 public:
  static TRegValueSet Read(HKEY key);
  static TRegValueSet Ask(HKEY key);
  // The value of that name, or null when the key has none; valid while the
  // set lives.
  const TRegValue* Find(std::wstring_view name) const;
  // As ReadKeyString and ReadKeyDWord.
  std::wstring String(std::wstring_view name) const;
  int32_t DWord(std::wstring_view name) const;

 private:
  struct TNamedValue {
    std::wstring Name;
    TRegValue Value;
  };
  struct TAnswer {
    std::wstring Name;
    std::optional<TRegValue> Value;
  };
  HKEY FKey = nullptr;  // asked directly when not every value was read
  bool FComplete = false;
  std::vector<TNamedValue> FValues;
  mutable std::deque<TAnswer> FAsked;  // stable addresses for Find
};
std::wstring RegValueText(const TRegValue& value);
int32_t RegValueDWord(const TRegValue& value);

// Text of the stored bytes, up to the first NUL (an odd trailing byte is dropped).
std::wstring RegBytesToText(const std::vector<BYTE>& data);
std::wstring RegBytesToText(const BYTE* data, size_t size);


// "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", ...; empty for another handle.
std::wstring RootKeyName(HKEY root);

// A registry link holds its target in a REG_LINK value named
// "SymbolicLinkValue"; only a key opened with REG_OPTION_OPEN_LINK shows it.
bool IsRegistryLink(HKEY key);
// The root named by its full name ("HKEY_LOCAL_MACHINE"), ignoring the case
// of A to Z; any other text gives HKEY_CLASSES_ROOT.
HKEY RootKeyByName(const std::wstring& name);

}  // namespace quor
