#include "support/TempRegistration.h"

#include <cstring>

#include <gtest/gtest.h>

#include "base/Handles.h"
#include "support/RawRegistry.h"
#include "support/TestNames.h"

namespace quor::test {
namespace {

constexpr REGSAM kView = KEY_WOW64_64KEY;

UniqueRegKey OpenFull(HKEY root, const std::wstring& path) {
  UniqueRegKey key;
  ::RegOpenKeyExW(root, path.c_str(), 0, KEY_ALL_ACCESS | kView, key.Put());
  return key;
}

// Gives a key that a test locked (DenyAllAccess) an access list that lets
// everyone in again. The owner may always change the list.
bool Unlock(HKEY root, const std::wstring& path) {
  UniqueRegKey key;
  if (::RegOpenKeyExW(root, path.c_str(), 0, WRITE_DAC | kView, key.Put()) != ERROR_SUCCESS) {
    return false;
  }
  SECURITY_DESCRIPTOR sd{};
  ::InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
  ::SetSecurityDescriptorDacl(&sd, TRUE, nullptr, FALSE);  // no list: full access
  return ::RegSetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, &sd) == ERROR_SUCCESS;
}

}  // namespace

HKEY RootOf(TLocation location) {
  return (location == TLocation::UserNative || location == TLocation::UserWow)
             ? HKEY_CURRENT_USER
             : HKEY_LOCAL_MACHINE;
}

std::wstring UninstallPathOf(TLocation location) {
  return (location == TLocation::UserWow || location == TLocation::MachineWow)
             ? L"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall"
             : L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
}

// A registry link goes as itself, never followed; a sub-key whose name holds
// a NUL is deleted through its own handle; a child that will not go ends the
// loop instead of spinning on it.
bool DeleteKeyTree(HKEY root, const std::wstring& path) {
  {
    UniqueRegKey key;
    LSTATUS rc = ::RegOpenKeyExW(root, path.c_str(), REG_OPTION_OPEN_LINK, KEY_ALL_ACCESS | kView,
                                 key.Put());
    if (rc == ERROR_ACCESS_DENIED && Unlock(root, path)) {
      rc = ::RegOpenKeyExW(root, path.c_str(), REG_OPTION_OPEN_LINK, KEY_ALL_ACCESS | kView,
                           key.Put());
    }
    if (rc == ERROR_FILE_NOT_FOUND) return true;
    if (rc != ERROR_SUCCESS) return false;
    DWORD type = REG_NONE;
    if (::RegQueryValueExW(key.Get(), L"SymbolicLinkValue", nullptr, &type, nullptr, nullptr) ==
            ERROR_SUCCESS &&
        type == REG_LINK) {
      key.Reset();
      DropRegistryLink(root, path);
      UniqueRegKey still;
      return ::RegOpenKeyExW(root, path.c_str(), REG_OPTION_OPEN_LINK, KEY_READ | kView,
                             still.Put()) == ERROR_FILE_NOT_FOUND;
    }
    // Children first, last to first: a key with sub-keys refuses deletion.
    DWORD before = MAXDWORD;
    for (;;) {
      DWORD count = 0;
      if (::RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, &count, nullptr, nullptr,
                             nullptr, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS ||
          count == 0 || count >= before) {
        break;
      }
      before = count;
      wchar_t name[512];
      DWORD len = 512;
      if (::RegEnumKeyExW(key.Get(), count - 1, name, &len, nullptr, nullptr, nullptr, nullptr) !=
          ERROR_SUCCESS) {
        break;
      }
      const std::wstring child(name, len);
      if (child.find(L'\0') != std::wstring::npos) {
        DeleteRawKey(root, path, child);
      } else if (!DeleteKeyTree(root, path + L"\\" + child)) {
        break;
      }
    }
  }
  const LSTATUS rc = ::RegDeleteKeyExW(root, path.c_str(), kView, 0);
  return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

TempKey::TempKey(HKEY root, std::wstring path) : root_(root), path_(std::move(path)) {
  UniqueRegKey key;
  const LSTATUS rc = ::RegCreateKeyExW(root_, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | kView,
                                       nullptr, key.Put(), nullptr);
  if (rc != ERROR_SUCCESS) ADD_FAILURE() << "cannot create test key, error " << rc;
}

TempKey::~TempKey() {
  if (!DeleteKeyTree(root_, path_)) ADD_FAILURE() << "test key left behind";
}

void TempKey::SetRaw(const std::wstring& name, DWORD type, const void* data, size_t bytes) const {
  auto key = OpenFull(root_, path_);
  // RegSetValueExW stores a string one character longer when the memory
  // after the given bytes holds a NUL: what follows them here never does.
  std::vector<BYTE> buffer(bytes + 2, 0xFF);
  if (bytes) std::memcpy(buffer.data(), data, bytes);
  const LSTATUS rc = ::RegSetValueExW(key.Get(), name.c_str(), 0, type, buffer.data(), static_cast<DWORD>(bytes));
  if (rc != ERROR_SUCCESS) ADD_FAILURE() << "cannot set test value, error " << rc;
}

void TempKey::SetString(const std::wstring& name, const std::wstring& value, DWORD type) const {
  SetRaw(name, type, value.c_str(), (value.size() + 1) * sizeof(wchar_t));
}

void TempKey::SetDWord(const std::wstring& name, DWORD value) const {
  SetRaw(name, REG_DWORD, &value, sizeof(value));
}

void TempKey::SetQWord(const std::wstring& name, uint64_t value) const {
  SetRaw(name, REG_QWORD, &value, sizeof(value));
}

std::wstring TempKey::CreateSubKey(const std::wstring& relative) const {
  const std::wstring full = path_ + L"\\" + relative;
  UniqueRegKey key;
  ::RegCreateKeyExW(root_, full.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | kView, nullptr,
                    key.Put(), nullptr);
  return full;
}

TempRegistration::TempRegistration(TLocation location, const std::wstring& prefix)
    : TempRegistration(location, prefix, UniqueName(prefix)) {}

TempRegistration::TempRegistration(TLocation location, const std::wstring&,
                                   const std::wstring& exactName)
    : TempKey(RootOf(location), UninstallPathOf(location) + L"\\" + exactName), name_(exactName) {}

}  // namespace quor::test

namespace quor::test {

void DenyAllAccess(HKEY root, const std::wstring& path) {
  UniqueRegKey key;
  ASSERT_EQ(::RegOpenKeyExW(root, path.c_str(), 0, WRITE_DAC | KEY_WOW64_64KEY, key.Put()),
            ERROR_SUCCESS);
  SECURITY_DESCRIPTOR sd{};
  ::InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
  ACL acl{};
  ::InitializeAcl(&acl, sizeof acl, ACL_REVISION);
  ::SetSecurityDescriptorDacl(&sd, TRUE, &acl, FALSE);
  ::RegSetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, &sd);
}

}  // namespace quor::test
