#include "ui/SavedFile.h"

#include <windows.h>

#include "base/Handles.h"
#include "support/TempFolder.h"

namespace quor::test {

TSavedFile::TSavedFile(std::wstring path) : FPath(std::move(path)) {
  if (PathExists(FPath)) FBytes = ReadFileBytes(FPath);
}

TSavedFile::~TSavedFile() {
  if (FBytes)
    WriteWholeFile(FPath, *FBytes);
  else
    ::DeleteFileW(FPath.c_str());
}

bool WriteWholeFile(const std::wstring& path, const std::string& bytes) {
  const size_t slash = path.find_last_of(L'\\');
  if (slash != std::wstring::npos) ::CreateDirectoryW(path.substr(0, slash).c_str(), nullptr);
  UniqueKernelHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return ::WriteFile(file.Get(), bytes.data(), DWORD(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

}  // namespace quor::test
