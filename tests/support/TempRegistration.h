#pragma once
// A throw-away registry key: an uninstall registration in one of the four
// locations, or any key under a root. Deleted with its subtree on destruction.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace quor::test {

enum class TLocation { UserNative, MachineNative, UserWow, MachineWow };

HKEY RootOf(TLocation location);
std::wstring UninstallPathOf(TLocation location);

// Deletes a key and everything below it in the 64-bit view, unlocking a key
// that refuses access; true when gone.
bool DeleteKeyTree(HKEY root, const std::wstring& path);

class TempKey {
 public:
  // Creates root\path (and its parents).
  TempKey(HKEY root, std::wstring path);
  ~TempKey();
  TempKey(const TempKey&) = delete;
  TempKey& operator=(const TempKey&) = delete;

  HKEY Root() const { return root_; }
  const std::wstring& Path() const { return path_; }

  void SetString(const std::wstring& name, const std::wstring& value, DWORD type = REG_SZ) const;
  void SetDWord(const std::wstring& name, DWORD value) const;
  void SetQWord(const std::wstring& name, uint64_t value) const;
  // Any type, any bytes (no terminator is added).
  void SetRaw(const std::wstring& name, DWORD type, const void* data, size_t bytes) const;
  void SetRaw(const std::wstring& name, DWORD type, const std::vector<uint8_t>& bytes) const {
    SetRaw(name, type, bytes.data(), bytes.size());
  }
  // Creates a sub-key and answers its full path.
  std::wstring CreateSubKey(const std::wstring& relative) const;

 private:
  HKEY root_;
  std::wstring path_;
};

// An uninstall registration with a unique key name.
class TempRegistration : public TempKey {
 public:
  explicit TempRegistration(TLocation location, const std::wstring& prefix = L"QuorTest");
  TempRegistration(TLocation location, const std::wstring& prefix, const std::wstring& exactName);
  const std::wstring& Name() const { return name_; }

 private:
  std::wstring name_;
};

}  // namespace quor::test

namespace quor::test {

// Gives the key an empty access list, so that opening it for reading fails
// with ERROR_ACCESS_DENIED (Wine still lets it be deleted). A TempKey gives
// its key access again before deleting it, so a locked key never outlives
// its test.
void DenyAllAccess(HKEY root, const std::wstring& path);

}  // namespace quor::test
