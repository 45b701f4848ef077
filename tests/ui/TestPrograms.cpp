#include "ui/TestPrograms.h"

#include <windows.h>

#include "base/Handles.h"
#include "inventory/ProgramSize.h"

namespace quor::test {
namespace {

std::wstring EmptyFolderName(int i) { return L"empty" + std::to_wstring(i); }

}  // namespace

TTestProgram::TTestProgram(const TProgramSpec& spec, const std::wstring& keyPrefix)
    : FSpec(spec), FFolder(L"QuorUiTest"), FKey(TLocation::UserNative, keyPrefix) {
  const std::string content(size_t(spec.FileBytes), 'q');
  for (int i = 0; i < spec.Files; ++i)
    FFolder.MakeFile(L"file" + std::to_wstring(i) + L".bin", content);
  for (int i = 0; i < spec.EmptyFolders; ++i)
    ::CreateDirectoryW((FFolder / EmptyFolderName(i)).c_str(), nullptr);
  FKey.SetString(L"DisplayName", spec.DisplayName);
  FKey.SetString(L"Publisher", spec.Publisher);
  FKey.SetString(L"DisplayVersion", spec.Version);
  FKey.SetString(L"InstallDate", spec.InstallDate);
  FKey.SetString(L"InstallLocation", FFolder.Path());
}

bool TTestProgram::RegistrationExists() const {
  HKEY key = nullptr;
  const LONG result =
      ::RegOpenKeyExW(FKey.Root(), FKey.Path().c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &key);
  UniqueRegKey owned(key);
  return result == ERROR_SUCCESS;
}

// The empty folders go first, one call each; the folder's own removal then
// has little left to walk.
TTestProgram::~TTestProgram() {
  for (int i = 0; i < FSpec.EmptyFolders; ++i)
    ::RemoveDirectoryW((FFolder / EmptyFolderName(i)).c_str());
}

std::wstring TTestProgram::SizeText() const {
  const int64_t kib = int64_t(FolderBytes() / 1024);
  return kib > 0 ? FormatSize(kib * 1024) : L"-";
}

}  // namespace quor::test
