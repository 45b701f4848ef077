#include "inventory/Registry.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "base/Text.h"

namespace quor {
namespace {

bool DetectWin64() {
#if defined(_WIN64)
  // A 64-bit process only runs on 64-bit Windows.
  return true;
#else
  using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
  using GetNativeSystemInfoFn = void(WINAPI*)(LPSYSTEM_INFO);
  HMODULE kernel = ::GetModuleHandleW(L"KERNEL32.DLL");
  if (!kernel) return false;
  auto isWow64 =
      reinterpret_cast<IsWow64ProcessFn>(::GetProcAddress(kernel, "IsWow64Process"));
  auto nativeInfo =
      reinterpret_cast<GetNativeSystemInfoFn>(::GetProcAddress(kernel, "GetNativeSystemInfo"));
  BOOL wow = FALSE;
  if (!isWow64 || !isWow64(::GetCurrentProcess(), &wow) || !wow || !nativeInfo) return false;
  SYSTEM_INFO si{};
  nativeInfo(&si);
  return si.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ||
         si.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_IA64;
#endif
}

std::atomic<bool>& Win64Flag() {
  static std::atomic<bool> flag{DetectWin64()};
  return flag;
}

}  // namespace

bool IsWin64() { return Win64Flag().load(std::memory_order_relaxed); }
void SetIsWin64(bool value) { Win64Flag().store(value, std::memory_order_relaxed); }

DWORD RegAccessMask(TRegAccess access) {
  DWORD mask = access == TRegAccess::Read ? 0x20019u : 0xF003Fu;
  if (IsWin64()) mask |= KEY_WOW64_64KEY;
  return mask;
}

UniqueRegKey OpenKeyForRead(HKEY root, const std::wstring& path) {
  const DWORD view = RegAccessMask(TRegAccess::Read) & KEY_WOW64_64KEY;
  for (DWORD mask : {0x20019u, 0x20009u, 0x0001u}) {
    UniqueRegKey key;
    if (::RegOpenKeyExW(root, path.c_str(), 0, mask | view, key.Put()) == ERROR_SUCCESS) {
      return key;
    }
  }
  return {};
}

bool GetSubKeyNames(HKEY root, const std::wstring& path, std::vector<std::wstring>& names) {
  UniqueRegKey key;
  if (::RegOpenKeyExW(root, path.c_str(), 0, RegAccessMask(TRegAccess::Read), key.Put()) !=
      ERROR_SUCCESS) {
    return false;
  }
  GetSubKeyNamesOf(key.Get(), names);
  return true;
}

void GetSubKeyNamesOf(HKEY key, std::vector<std::wstring>& names) {
  names.clear();
  DWORD count = 0;
  DWORD maxLen = 0;
  if (::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &count, &maxLen, nullptr, nullptr,
                         nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
    return;
  }
  names.reserve(count);
  std::wstring buffer(maxLen + 1, L'\0');
  for (DWORD i = 0;; ++i) {
    DWORD len = static_cast<DWORD>(buffer.size());
    const LSTATUS rc =
        ::RegEnumKeyExW(key, i, buffer.data(), &len, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_MORE_DATA) {
      // A longer name appeared since the count was taken.
      buffer.resize(buffer.size() * 2 + 256);
      --i;
      continue;
    }
    if (rc != ERROR_SUCCESS) break;
    names.emplace_back(buffer.data(), len);
  }
}

std::optional<TRegValue> QueryRegValue(HKEY key, const std::wstring& name) {
  TRegValue value;
  value.Data.resize(512);
  // Another process may change the value between two calls: never trust a
  // size from an earlier call.
  for (int attempt = 0; attempt < 16; ++attempt) {
    DWORD size = static_cast<DWORD>(value.Data.size());
    LSTATUS rc =
        ::RegQueryValueExW(key, name.c_str(), nullptr, &value.Type, value.Data.data(), &size);
    if (rc == ERROR_SUCCESS) {
      value.Data.resize(size);
      return value;
    }
    if (rc != ERROR_MORE_DATA) return std::nullopt;
    value.Data.resize(static_cast<size_t>(size) + 64);
  }
  return std::nullopt;
}

std::wstring RegBytesToText(const std::vector<BYTE>& data) {
  return RegBytesToText(data.data(), data.size());
}

std::wstring RegBytesToText(const BYTE* data, size_t size) {
  const size_t chars = size / sizeof(wchar_t);
  std::wstring text(chars, L'\0');
  if (chars) std::memcpy(text.data(), data, chars * sizeof(wchar_t));
  const size_t nul = text.find(L'\0');
  if (nul != std::wstring::npos) text.resize(nul);
  return text;
}

std::wstring RegValueText(const TRegValue& value) {
  if (value.Type != REG_SZ && value.Type != REG_EXPAND_SZ) return {};
  return RegBytesToText(value.Data);
}

int32_t RegValueDWord(const TRegValue& value) {
  if (value.Type != REG_DWORD || value.Data.size() != sizeof(DWORD)) return 0;
  int32_t result = 0;
  std::memcpy(&result, value.Data.data(), sizeof(result));
  return result;
}

std::wstring ReadKeyString(HKEY key, const std::wstring& name) {
  auto value = QueryRegValue(key, name);
  return value ? RegValueText(*value) : std::wstring();
}

int32_t ReadKeyDWord(HKEY key, const std::wstring& name) {
  auto value = QueryRegValue(key, name);
  return value ? RegValueDWord(*value) : 0;
}

// The buffers start at sizes that fit nearly every registration and grow
// when a value does not fit: another process may change the key between two
// calls, so no size is taken from an earlier call.
TRegValueSet TRegValueSet::Read(HKEY key) {
  TRegValueSet set;
  set.FKey = key;
  std::wstring name(256, L'\0');
  std::vector<BYTE> data(2048);
  int retries = 0;
  for (DWORD i = 0;;) {
    DWORD nameLen = static_cast<DWORD>(name.size());
    DWORD dataLen = static_cast<DWORD>(data.size());
    DWORD type = REG_NONE;
    const LSTATUS rc =
        ::RegEnumValueW(key, i, name.data(), &nameLen, nullptr, &type, data.data(), &dataLen);
    if (rc == ERROR_NO_MORE_ITEMS) {
      set.FComplete = true;
      break;
    }
    if (rc == ERROR_MORE_DATA && ++retries <= 16) {
      name.resize(name.size() * 2);
      data.resize(std::max<size_t>(data.size() * 2, static_cast<size_t>(dataLen) + 64));
      continue;
    }
    if (rc != ERROR_SUCCESS) break;
    TRegValue value;
    value.Type = type;
    value.Data.assign(data.begin(), data.begin() + dataLen);
    set.FValues.push_back({std::wstring(name.data(), nameLen), std::move(value)});
    retries = 0;
    ++i;
  }
  return set;
}

TRegValueSet TRegValueSet::Ask(HKEY key) {
  TRegValueSet set;
  set.FKey = key;
  return set;
}

const TRegValue* TRegValueSet::Find(std::wstring_view name) const {
  if (FComplete) {
    for (const auto& v : FValues) {
      if (SameTextUnicode(v.Name, name)) return &v.Value;
    }
    return nullptr;
  }
  for (const auto& answer : FAsked) {
    if (SameTextUnicode(answer.Name, name)) return answer.Value ? &*answer.Value : nullptr;
  }
  if (!FKey) return nullptr;
  FAsked.push_back({std::wstring(name), QueryRegValue(FKey, std::wstring(name))});
  const auto& value = FAsked.back().Value;
  return value ? &*value : nullptr;
}

std::wstring TRegValueSet::String(std::wstring_view name) const {
  const TRegValue* value = Find(name);
  return value ? RegValueText(*value) : std::wstring();
}

int32_t TRegValueSet::DWord(std::wstring_view name) const {
  const TRegValue* value = Find(name);
  return value ? RegValueDWord(*value) : 0;
}

std::wstring ReadRegString(HKEY root, const std::wstring& path, const std::wstring& name) {
  auto key = OpenKeyForRead(root, path);
  return key ? ReadKeyString(key.Get(), name) : std::wstring();
}

int32_t ReadRegDWord(HKEY root, const std::wstring& path, const std::wstring& name) {
  auto key = OpenKeyForRead(root, path);
  return key ? ReadKeyDWord(key.Get(), name) : 0;
}

namespace {
struct TRootName {
  HKEY Root;
  const wchar_t* Name;
};
const TRootName kRootNames[] = {
    {HKEY_CLASSES_ROOT, L"HKEY_CLASSES_ROOT"},
    {HKEY_CURRENT_USER, L"HKEY_CURRENT_USER"},
    {HKEY_LOCAL_MACHINE, L"HKEY_LOCAL_MACHINE"},
    {HKEY_USERS, L"HKEY_USERS"},
    {HKEY_CURRENT_CONFIG, L"HKEY_CURRENT_CONFIG"},
};
}  // namespace

std::wstring RootKeyName(HKEY root) {
  for (const auto& r : kRootNames) {
    if (r.Root == root) return r.Name;
  }
  return {};
}

HKEY RootKeyByName(const std::wstring& name) {
  for (const auto& r : kRootNames) {
    if (SameTextAscii(name, r.Name)) return r.Root;
  }
  return HKEY_CLASSES_ROOT;
}

bool IsRegistryLink(HKEY key) {
  DWORD type = REG_NONE;
  return ::RegQueryValueExW(key, L"SymbolicLinkValue", nullptr, &type, nullptr, nullptr) ==
             ERROR_SUCCESS &&
         type == REG_LINK;
}

}  // namespace quor
