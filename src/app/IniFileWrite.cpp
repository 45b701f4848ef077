// Writing INI files; apart from IniFile.cpp, whose reading is also built
// natively.
#include <windows.h>

#include "app/IniFile.h"
#include "base/Handles.h"

namespace quor {

void CreateUnicodeIni(const std::wstring& path) {
  UniqueKernelHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  const unsigned char bom[] = {0xFF, 0xFE};
  DWORD written = 0;
  ::WriteFile(file.Get(), bom, sizeof bom, &written, nullptr);
}

}  // namespace quor
