#include "app/IniFile.h"

#include <windows.h>

#include <algorithm>

#include "base/Handles.h"
#include "base/Text.h"

namespace quor {

std::wstring DecodeAnsi(std::string_view bytes) {
  if (bytes.empty()) return {};
  const int size = static_cast<int>(bytes.size());
  const int n = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
  if (n <= 0) return {};
  std::wstring out(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, out.data(), n);
  return out;
}

std::optional<std::string> ReadFileBytes(const std::wstring& path, size_t limit) {
  UniqueKernelHandle file(::CreateFileW(path.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0) return std::nullopt;
  const size_t wanted = static_cast<unsigned long long>(size.QuadPart) < limit
                            ? static_cast<size_t>(size.QuadPart)
                            : limit;
  std::string bytes(wanted, '\0');
  size_t done = 0;
  // The file may shrink while it is read: keep what arrived.
  while (done < wanted) {
    DWORD got = 0;
    const DWORD ask = static_cast<DWORD>(std::min<size_t>(wanted - done, 1u << 20));
    if (!::ReadFile(file.Get(), bytes.data() + done, ask, &got, nullptr)) return std::nullopt;
    if (got == 0) break;
    done += got;
  }
  bytes.resize(done);
  return bytes;
}

std::optional<TIniText> LoadIniFile(const std::wstring& path) {
  auto bytes = ReadFileBytes(path);
  if (!bytes) return std::nullopt;
  return TIniText::Parse(*bytes, DecodeAnsi);
}

std::optional<int64_t> WholeNumber(const std::wstring* text) {
  if (!text) return std::nullopt;
  const std::wstring t = Trim(*text);
  if (t.empty() || t.size() > 12) return std::nullopt;
  int64_t value = 0;
  for (wchar_t c : t) {
    if (c < L'0' || c > L'9') return std::nullopt;
    value = value * 10 + (c - L'0');
  }
  return value;
}

}  // namespace quor
