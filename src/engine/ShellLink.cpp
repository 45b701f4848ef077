#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "base/Com.h"
#include "base/FileExists.h"
#include "engine/LeftoverScan.h"

namespace quor {
namespace {

std::wstring ReadLinkPath(const std::wstring& path) {
  TComPtr<IShellLinkW> link;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.PutVoid()))) {
    return {};
  }
  TComPtr<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, file.PutVoid())) ||
      FAILED(file->Load(path.c_str(), 0))) {
    return {};
  }
  wchar_t target[MAX_PATH] = {};
  WIN32_FIND_DATAW data{};
  if (FAILED(link->GetPath(target, MAX_PATH, &data, SLGP_UNCPRIORITY))) return {};
  return target;
}

}  // namespace

// Only a target that names " (x86)" is ever probed, and never one on another
// machine: the scan must not wait for the network.
std::wstring GetLinkTarget(const std::wstring& path) {
  const TComInit com;  // cheap when the scan's thread has it already
  std::wstring target = ReadLinkPath(path);
  if (target.find(L" (x86)") != std::wstring::npos && !IsNetworkPathText(target) &&
      !FileExistsEx(target)) {
    std::wstring corrected = target;
    for (size_t at; (at = corrected.find(L" (x86)")) != std::wstring::npos;) corrected.erase(at, 6);
    if (FileExistsEx(corrected)) target = corrected;
  }
  if (target.size() < 4) target.clear();
  return target;
}

}  // namespace quor
