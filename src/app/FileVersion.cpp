#include "app/FileVersion.h"

#include <windows.h>

#include <vector>

namespace quor {

std::optional<TFileVersion> ReadFileVersion(const std::wstring& path) {
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return std::nullopt;
  std::vector<BYTE> block(size);
  if (!::GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return std::nullopt;
  VS_FIXEDFILEINFO* info = nullptr;
  UINT infoSize = 0;
  if (!::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &infoSize) ||
      info == nullptr || infoSize < sizeof(VS_FIXEDFILEINFO))
    return std::nullopt;
  return TFileVersion{HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
                      HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS)};
}

TFileVersion OwnFileVersion() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  return ReadFileVersion(path).value_or(TFileVersion{});
}

std::wstring VersionText(const TFileVersion& version) {
  return std::to_wstring(version.Major) + L"." + std::to_wstring(version.Minor) +
         std::to_wstring(version.Release) + L"." + std::to_wstring(version.Build);
}

}  // namespace quor
