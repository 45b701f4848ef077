#include "support/Shortcut.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

namespace quor::test {

bool MakeShortcut(const std::wstring& lnkPath, const std::wstring& target) {
  const HRESULT init = ::CoInitialize(nullptr);
  bool ok = false;
  IShellLinkW* link = nullptr;
  if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link)))) {
    link->SetPath(target.c_str());
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      ok = SUCCEEDED(file->Save(lnkPath.c_str(), TRUE));
      file->Release();
    }
    link->Release();
  }
  if (SUCCEEDED(init)) ::CoUninitialize();
  return ok;
}

}  // namespace quor::test
