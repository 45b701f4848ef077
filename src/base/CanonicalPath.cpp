#include "base/CanonicalPath.h"

#include <windows.h>

#include <vector>

#include "base/Handles.h"
#include "base/LongPath.h"
#include "base/Text.h"

namespace quor {
namespace {

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

std::wstring StripQuotesAndBlanks(std::wstring_view text) {
  std::wstring s = Trim(text);
  if (!s.empty() && s.front() == L'"') s.erase(0, 1);
  if (!s.empty() && s.back() == L'"') s.pop_back();
  return Trim(s);
}

std::wstring ExpandEnvironmentText(const std::wstring& text) {
  std::wstring out(text.size() + 256, L'\0');
  for (int attempt = 0; attempt < 3; ++attempt) {
    const DWORD n = ::ExpandEnvironmentStringsW(text.c_str(), out.data(), static_cast<DWORD>(out.size()));
    if (n == 0) return text;
    if (n <= out.size()) {
      out.resize(n - 1);
      return out;
    }
    out.resize(n);
  }
  return text;
}

bool HasForbiddenCharacter(std::wstring_view s) {
  for (size_t i = 0; i < s.size(); ++i) {
    const wchar_t c = s[i];
    if (c < 32 || c == L'/' || c == L'<' || c == L'>' || c == L'|' || c == L'?' || c == L'*' ||
        c == L'"' || c == L'%') {
      return true;
    }
    if (c == L':' && i != 1) return true;  // streams, or a colon anywhere else
  }
  return false;
}

bool IsLoopbackServer(const std::wstring& server) {
  const std::wstring s = LowerAscii(server);
  return s == L"." || s == L"?" || s == L"localhost" || s == L"127.0.0.1" || s == L"[::1]" ||
         s == L"::1" || s == L"0:0:0:0:0:0:0:1" || s.rfind(L"127.", 0) == 0;
}

// Splits after the prefix ("C:" or "\\server\share"); false on an empty
// component (a doubled backslash) or one that the system would rewrite.
bool SplitComponents(std::wstring_view rest, std::vector<std::wstring_view>& parts) {
  if (!rest.empty() && rest.back() == L'\\') rest.remove_suffix(1);  // one trailing backslash
  if (rest.empty()) return true;
  if (rest.front() != L'\\') return false;
  rest.remove_prefix(1);
  size_t start = 0;
  for (;;) {
    const size_t end = rest.find(L'\\', start);
    const std::wstring_view part = rest.substr(start, end == std::wstring_view::npos ? rest.npos : end - start);
    if (part.empty() || part == L"." || part == L".." || part.back() == L'.' || part.back() == L' ') {
      return false;
    }
    parts.push_back(part);
    if (end == std::wstring_view::npos) return true;
    start = end + 1;
  }
}

std::optional<std::wstring> CheckForm(std::wstring s) {
  // The long-path forms of a drive or share path are plain paths in disguise;
  // every other device form names nothing.
  if (StartsWithAscii(s, L"\\\\?\\UNC\\")) {
    s = L"\\\\" + s.substr(8);
  } else if (s.rfind(L"\\\\?\\", 0) == 0 && s.size() >= 7 && IsDriveLetter(s[4]) && s[5] == L':' &&
             s[6] == L'\\') {
    s = s.substr(4);
  }
  if (HasForbiddenCharacter(s)) return std::nullopt;
  std::wstring prefix;
  std::wstring_view rest;
  if (s.size() >= 3 && IsDriveLetter(s[0]) && s[1] == L':' && s[2] == L'\\') {
    prefix = std::wstring(1, static_cast<wchar_t>(s[0] & ~0x20)) + L":";
    rest = std::wstring_view(s).substr(2);
  } else if (s.size() > 2 && s[0] == L'\\' && s[1] == L'\\') {
    const size_t serverEnd = s.find(L'\\', 2);
    if (serverEnd == std::wstring::npos || serverEnd == 2) return std::nullopt;
    const std::wstring server = s.substr(2, serverEnd - 2);
    const size_t shareEnd = s.find(L'\\', serverEnd + 1);
    const std::wstring share = s.substr(serverEnd + 1, shareEnd == std::wstring::npos ? std::wstring::npos
                                                                                       : shareEnd - serverEnd - 1);
    if (IsLoopbackServer(server) || share.empty() || share.back() == L'$' || share.back() == L'.' ||
        share.back() == L' ' || server.back() == L'.' || server.back() == L' ') {
      return std::nullopt;
    }
    prefix = L"\\\\" + server + L"\\" + share;
    rest = shareEnd == std::wstring::npos ? std::wstring_view() : std::wstring_view(s).substr(shareEnd);
  } else {
    return std::nullopt;  // relative, drive-relative ("C:x", "C:."), or a device
  }
  std::vector<std::wstring_view> parts;
  if (!SplitComponents(rest, parts)) return std::nullopt;
  std::wstring out = prefix;
  for (const auto& part : parts) out.append(L"\\").append(part);
  if (parts.empty() && prefix.size() == 2) out += L'\\';  // "C:\"
  return out;
}

bool IsNetworkPath(const std::wstring& canonical) { return canonical.rfind(L"\\\\", 0) == 0; }

// The long form of 8.3 names, for the part of the path that exists.
std::wstring LongNames(const std::wstring& path) {
  if (path.find(L'~') == std::wstring::npos) return path;
  std::wstring head = path;
  std::wstring tail;
  while (head.size() > 3) {
    std::wstring buffer(32768, L'\0');
    // Some systems answer the prefixed form unchanged: the plain one first.
    const std::wstring query = head.size() < MAX_PATH ? head : LongPath(head);
    const DWORD n = ::GetLongPathNameW(query.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n > 0 && n < buffer.size()) {
      buffer.resize(n);
      if (buffer.rfind(L"\\\\?\\", 0) == 0) buffer.erase(0, 4);
      return buffer + tail;
    }
    const size_t cut = head.rfind(L'\\');
    if (cut == std::wstring::npos) break;
    tail = head.substr(cut) + tail;
    head.resize(cut);
  }
  return path;
}

std::wstring StripLongPrefix(std::wstring path) {
  if (StartsWithAscii(path, L"\\\\?\\UNC\\")) return L"\\\\" + path.substr(8);
  if (path.rfind(L"\\\\?\\", 0) == 0) return path.substr(4);
  return path;
}

std::optional<std::wstring> FinalPathOf(const std::wstring& path) {
  UniqueKernelHandle h(::CreateFileW(LongPath(path).c_str(), FILE_READ_ATTRIBUTES,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                     OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!h) return std::nullopt;
  std::wstring buffer(1024, L'\0');
  for (int attempt = 0; attempt < 3; ++attempt) {
    const DWORD n = ::GetFinalPathNameByHandleW(h.Get(), buffer.data(), static_cast<DWORD>(buffer.size()),
                                                FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (n == 0) return std::nullopt;
    if (n < buffer.size()) {
      buffer.resize(n);
      return CheckForm(StripLongPrefix(buffer));
    }
    buffer.resize(n + 1);
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::wstring> CanonicalFolderText(std::wstring_view text, const TPathExpander& expand) {
  std::wstring s = StripQuotesAndBlanks(text);
  if (s.empty()) return std::nullopt;
  if (s.find(L'%') != std::wstring::npos) {
    if (expand) s = expand(s);
    if (s.find(L'%') != std::wstring::npos) s = ExpandEnvironmentText(s);
    s = Trim(s);
  }
  return CheckForm(std::move(s));
}

std::optional<TCanonicalFolder> CanonicalFolder(std::wstring_view text, const TPathExpander& expand) {
  auto path = CanonicalFolderText(text, expand);
  if (!path) return std::nullopt;
  TCanonicalFolder folder;
  folder.Path = *path;
  folder.Final = *path;
  if (IsNetworkPath(folder.Path)) return folder;
  folder.Path = LongNames(folder.Path);
  const DWORD attrs = ::GetFileAttributesW(LongPath(folder.Path).c_str());
  if (attrs == INVALID_FILE_ATTRIBUTES) {
    folder.Final = folder.Path;
    return folder;
  }
  folder.Exists = true;
  folder.IsLink = (attrs & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  if (auto final = FinalPathOf(folder.Path)) folder.Final = *final;
  else folder.Final = folder.Path;
  return folder;
}

bool IsRootFolder(std::wstring_view p) noexcept {
  if (p.size() == 3 && p[1] == L':') return true;
  if (p.size() > 2 && p[0] == L'\\' && p[1] == L'\\') {
    const size_t server = p.find(L'\\', 2);
    return server == std::wstring_view::npos || p.find(L'\\', server + 1) == std::wstring_view::npos;
  }
  return false;
}

bool IsAtOrBelow(std::wstring_view path, std::wstring_view folder) noexcept {
  if (folder.empty()) return false;
  if (!StartsWithUnicode(path, folder)) return false;
  if (path.size() == folder.size()) return true;
  return folder.back() == L'\\' || path[folder.size()] == L'\\';
}

}  // namespace quor
