#include "base/LongPath.h"

#include <windows.h>

namespace quor {
namespace {

bool IsDrivePath(const std::wstring& path) {
  return path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/') &&
         ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
}

bool IsUncPath(const std::wstring& path) {
  return path.size() > 2 && path[0] == L'\\' && path[1] == L'\\';
}

// The prefixed form turns off the system's normalisation, so it is applied
// to the normalised full path ("..", "." and forward slashes resolved).
std::wstring FullPath(const std::wstring& path) {
  std::wstring out(path.size() + 64, L'\0');
  for (int attempt = 0; attempt < 3; ++attempt) {
    const DWORD n = ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(out.size()), out.data(),
                                       nullptr);
    if (n == 0) return path;
    if (n < out.size()) {
      out.resize(n);
      return out;
    }
    out.resize(n + 1);
  }
  return path;
}

}  // namespace

std::wstring LongPath(const std::wstring& path) {
  if (path.rfind(L"\\\\?\\", 0) == 0 || path.rfind(L"\\\\.\\", 0) == 0) return path;
  if (IsDrivePath(path)) return L"\\\\?\\" + FullPath(path);
  if (IsUncPath(path)) {
    const std::wstring full = FullPath(path);
    return IsUncPath(full) ? L"\\\\?\\UNC\\" + full.substr(2) : path;
  }
  return path;
}

}  // namespace quor
