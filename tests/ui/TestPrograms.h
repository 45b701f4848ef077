#pragma once
// Throw-away installed programs: an uninstall registration under the current
// user with an install folder of a known size. Both go when the object goes.

#include <cstdint>
#include <string>

#include "support/TempFolder.h"
#include "support/TempRegistration.h"

namespace quor::test {

struct TProgramSpec {
  std::wstring DisplayName, Publisher, Version, InstallDate;
  // The install folder holds `Files` files of `FileBytes` bytes each, and
  // `EmptyFolders` empty sub-folders: each costs a measurement one more
  // folder listing.
  int Files = 1;
  uint64_t FileBytes = 0;
  int EmptyFolders = 0;
};

class TTestProgram {
 public:
  // `keyPrefix` orders the registration among the others (the registry lists
  // sub-keys by name).
  TTestProgram(const TProgramSpec& spec, const std::wstring& keyPrefix);
  ~TTestProgram();
  TTestProgram(const TTestProgram&) = delete;
  TTestProgram& operator=(const TTestProgram&) = delete;

  const std::wstring& DisplayName() const { return FSpec.DisplayName; }
  const std::wstring& Publisher() const { return FSpec.Publisher; }
  const std::wstring& Version() const { return FSpec.Version; }
  uint64_t FolderBytes() const { return uint64_t(FSpec.Files) * FSpec.FileBytes; }
  // What the size column shows once the folder is measured: whole KiB,
  // formatted as the program formats sizes.
  std::wstring SizeText() const;
  const std::wstring& FolderPath() const { return FFolder.Path(); }
  HKEY RootKey() const { return FKey.Root(); }
  const std::wstring& KeyPath() const { return FKey.Path(); }
  bool RegistrationExists() const;
  // Adds a text value to the registration (a ModifyPath, an UninstallString).
  void SetValue(const std::wstring& name, const std::wstring& value) const {
    FKey.SetString(name, value);
  }

 private:
  TProgramSpec FSpec;
  TempFolder FFolder;
  TempRegistration FKey;
};

}  // namespace quor::test
