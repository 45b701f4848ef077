#include "app/UpdateCheck.h"

#include <wininet.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <random>
#include <thread>

#include "base/Handles.h"
#include "base/Text.h"

namespace quor {
namespace {

std::wstring ProfileString(const std::wstring& file, const wchar_t* section, const wchar_t* key,
                           const std::wstring& fallback) {
  std::wstring buffer(4096, L'\0');
  const DWORD n = ::GetPrivateProfileStringW(section, key, fallback.c_str(), buffer.data(),
                                             DWORD(buffer.size()), file.c_str());
  buffer.resize(n);
  return buffer;
}

// A whole number in 32 bits, with an optional sign and blanks around it.
std::optional<int32_t> WholeNumber(const std::wstring& text) {
  const std::wstring t = Trim(text);
  size_t i = (!t.empty() && (t[0] == L'-' || t[0] == L'+')) ? 1 : 0;
  if (i == t.size()) return std::nullopt;
  int64_t value = 0;
  for (; i < t.size(); ++i) {
    if (t[i] < L'0' || t[i] > L'9') return std::nullopt;
    value = value * 10 + (t[i] - L'0');
    if (value > int64_t(INT32_MAX) + 1) return std::nullopt;
  }
  if (t[0] == L'-') value = -value;
  if (value > INT32_MAX || value < INT32_MIN) return std::nullopt;
  return int32_t(value);
}

std::vector<std::wstring> KeyNames(const std::wstring& file, const wchar_t* section) {
  std::wstring buffer(64 * 1024, L'\0');
  const DWORD n = ::GetPrivateProfileStringW(section, nullptr, L"", buffer.data(),
                                             DWORD(buffer.size()), file.c_str());
  std::vector<std::wstring> names;
  for (size_t at = 0; at < n;) {
    const size_t end = buffer.find(L'\0', at);
    if (end == at || end == std::wstring::npos) break;
    names.push_back(buffer.substr(at, end - at));
    at = end + 1;
  }
  return names;
}

// Eight letters a to z, from a generator seeded by the clock for each check.
std::wstring RandomName() {
  std::mt19937 random(static_cast<uint32_t>(
      std::chrono::high_resolution_clock::now().time_since_epoch().count() ^ ::GetCurrentThreadId()));
  std::uniform_int_distribution<int> letter(0, 25);
  std::wstring name;
  for (int i = 0; i < 8; ++i) name += wchar_t(L'a' + letter(random));
  return name;
}

// What the download thread and the waiting caller share; whichever ends
// last frees it.
struct TFetched {
  std::string Bytes;
  TUpdateFailure Failure = TUpdateFailure::None;
  DWORD Detail = 0;
};

struct TDownload {
  std::mutex Lock;
  std::condition_variable Done;
  bool Finished = false;
  TFetched Result;
};

// WinINet's own texts live in its module, not in the system's table.
std::wstring InternetErrorText(DWORD error) {
  wchar_t* buffer = nullptr;
  const DWORD n = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_HMODULE |
                                       FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                   ::GetModuleHandleW(L"wininet.dll"), error, 0,
                                   reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text = n ? Trim(std::wstring(buffer, n)) : std::wstring();
  if (buffer) ::LocalFree(buffer);
  return text.empty() ? L"error " + std::to_wstring(error)
                      : text + L" (" + std::to_wstring(error) + L")";
}

struct TInternetCloser {
  void operator()(HINTERNET handle) const { ::InternetCloseHandle(handle); }
};
using UniqueInternet = std::unique_ptr<void, TInternetCloser>;

bool IsRedirect(DWORD status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

DWORD StatusOf(HINTERNET request) {
  DWORD status = 0, length = sizeof status;
  if (!::HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &length,
                        nullptr))
    return 0;
  return status;
}

// Where a redirect leads, resolved against the address it came from; empty
// unless that is a web address.
std::wstring RedirectTarget(HINTERNET request, const std::wstring& from) {
  std::wstring location(2048, L'\0');
  DWORD bytes = DWORD(location.size() * sizeof(wchar_t));
  if (!::HttpQueryInfoW(request, HTTP_QUERY_LOCATION, location.data(), &bytes, nullptr)) return {};
  location.resize(bytes / sizeof(wchar_t));
  std::wstring combined(4096, L'\0');
  DWORD length = DWORD(combined.size());
  if (!::InternetCombineUrlW(from.c_str(), location.c_str(), combined.data(), &length,
                             ICU_NO_ENCODE))
    return {};
  combined.resize(length);
  return ParseWebAddress(combined).value_or(L"");
}

std::string ReadBody(HINTERNET request, size_t maxBytes) {
  std::string bytes;
  char chunk[1025];
  while (bytes.size() < maxBytes) {
    DWORD read = 0;
    const DWORD want = DWORD(std::min(sizeof(chunk), maxBytes - bytes.size()));
    if (!::InternetReadFile(request, chunk, want, &read) || read == 0) break;
    bytes.append(chunk, read);
  }
  return bytes;
}

TDownloadResult Failed(TUpdateFailure failure, DWORD detail = 0, std::wstring text = {}) {
  TDownloadResult result;
  result.Failure = failure;
  result.Detail = detail;
  result.ErrorText = std::move(text);
  return result;
}

bool IsSuccess(DWORD status) { return status == 0 || (status >= 200 && status < 300); }

// Redirects are followed here, not by WinINet, so that each is counted and
// leads to a web address only.
TFetched Fetch(const std::wstring& url, const TDownloadLimits& limits) {
  UniqueInternet session(::InternetOpenW(L"", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!session) return {{}, TUpdateFailure::NoConnection, ::GetLastError()};
  DWORD timeoutMs = limits.DeadlineMs;
  for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT,
                       INTERNET_OPTION_SEND_TIMEOUT})
    ::InternetSetOptionW(session.get(), option, &timeoutMs, sizeof(timeoutMs));
  static const wchar_t kHeader[] = L"Accept-Charset: utf-8\r\n";
  std::wstring address = url;
  for (int redirects = 0;; ++redirects) {
    UniqueInternet request(::InternetOpenUrlW(
        session.get(), address.c_str(), kHeader, DWORD(std::size(kHeader) - 1),
        INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_AUTO_REDIRECT, 0));
    if (!request) return {{}, TUpdateFailure::NoConnection, ::GetLastError()};
    const DWORD status = StatusOf(request.get());
    if (!IsRedirect(status)) {
      if (!IsSuccess(status)) return {{}, TUpdateFailure::HttpStatus, status};
      return {ReadBody(request.get(), limits.MaxBytes), TUpdateFailure::None, status};
    }
    if (redirects >= limits.MaxRedirects) return {{}, TUpdateFailure::Redirects, status};
    address = RedirectTarget(request.get(), address);
    if (address.empty()) return {{}, TUpdateFailure::Redirects, status};
  }
}

bool IsAsciiLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
bool IsHex(wchar_t c) { return IsDigit(c) || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F'); }

// "host", "host:port" or "[v6]:port", as given (in lower case); nothing for
// anything else: an empty host, user information, a port that is no number
// up to 65535.
std::optional<std::wstring> WebHost(const std::wstring& authority) {
  size_t hostEnd = authority.size();
  size_t portAt = std::wstring::npos;
  if (!authority.empty() && authority[0] == L'[') {
    hostEnd = authority.find(L']');
    if (hostEnd == std::wstring::npos || hostEnd < 3) return std::nullopt;
    for (size_t i = 1; i < hostEnd; ++i)
      if (!IsHex(authority[i]) && authority[i] != L':' && authority[i] != L'.') return std::nullopt;
    ++hostEnd;
    if (hostEnd < authority.size()) {
      if (authority[hostEnd] != L':') return std::nullopt;
      portAt = hostEnd + 1;
    }
  } else {
    const size_t colon = authority.find(L':');
    if (colon != std::wstring::npos) {
      hostEnd = colon;
      portAt = colon + 1;
    }
    if (hostEnd == 0 || authority[0] == L'.' || authority[0] == L'-') return std::nullopt;
    for (size_t i = 0; i < hostEnd; ++i) {
      const wchar_t c = authority[i];
      if (!IsAsciiLetter(c) && !IsDigit(c) && c != L'.' && c != L'-') return std::nullopt;
    }
  }
  if (portAt != std::wstring::npos) {
    const std::wstring port = authority.substr(portAt);
    if (port.empty() || port.size() > 5) return std::nullopt;
    for (wchar_t c : port)
      if (!IsDigit(c)) return std::nullopt;
    if (std::stoi(port) > 65535) return std::nullopt;
  }
  return authority;
}

// One round of percent-decoding.
std::wstring PercentDecoded(const std::wstring& text) {
  std::wstring out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'%' && i + 2 < text.size() && IsHex(text[i + 1]) && IsHex(text[i + 2])) {
      out += wchar_t(std::stoi(text.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

// A path whose segments are no "." or ".." and hold no backslash, slash or
// control character, however often they are percent-decoded.
bool PlainPath(const std::wstring& path) {
  if (!path.empty() && path[0] != L'/') return false;
  for (size_t at = 1; at <= path.size();) {
    size_t end = path.find(L'/', at);
    if (end == std::wstring::npos) end = path.size();
    std::wstring segment = path.substr(at, end - at);
    for (int round = 0; round < 8; ++round) {
      const std::wstring next = PercentDecoded(segment);
      if (next == segment) break;
      segment = next;
    }
    if (segment == L"." || segment == L".." || PercentDecoded(segment) != segment ||
        segment.find_first_of(L"/\\") != std::wstring::npos)
      return false;
    for (wchar_t c : segment)
      if (c < L' ' || c == 127) return false;
    at = end + 1;
  }
  return true;
}

}  // namespace

TUpdateInfo ReadUpdateFile(const std::wstring& file, const std::wstring& section, int32_t build,
                           const std::wstring& defaultShowUrl) {
  TUpdateInfo info;
  const auto offered = WholeNumber(ProfileString(file, section.c_str(), L"Build", L""));
  info.HasBuild = offered.has_value();
  info.Build = offered.value_or(build);
  info.NewInfo = KeyNames(file, L"NewInfo");
  info.ShowUrl = ProfileString(file, L"VerInfo", L"ShowUrl", defaultShowUrl);
  return info;
}

std::wstring LongPathForm(const std::wstring& path) {
  size_t at = path.size() >= 3 && path[1] == L':' && path[2] == L'\\' ? 3 : std::wstring::npos;
  if (at == std::wstring::npos) return path;
  std::wstring result = path.substr(0, 3);
  while (at < path.size()) {
    size_t end = path.find(L'\\', at);
    if (end == std::wstring::npos) end = path.size();
    const std::wstring component = path.substr(at, end - at);
    WIN32_FIND_DATAW data{};
    const bool plain = !component.empty() && component.find_first_of(L"*?") == std::wstring::npos;
    UniqueFindHandle find(plain ? ::FindFirstFileW((result + component).c_str(), &data)
                                : INVALID_HANDLE_VALUE);
    if (!find) return result + path.substr(at);
    result += data.cFileName;
    if (end < path.size()) result += L'\\';
    at = end + 1;
  }
  return result;
}

std::optional<std::wstring> UpdateTempFolder(const std::wstring& tempPath) {
  if (tempPath.find(L'%') != std::wstring::npos) return std::nullopt;
  std::wstring folder = LongPathForm(tempPath);
  if (folder.find_first_of(L"%/*?\"<>|") != std::wstring::npos) return std::nullopt;
  if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
  const bool drive =
      folder.size() > 3 && IsAsciiLetter(folder[0]) && folder[1] == L':' && folder[2] == L'\\';
  const bool share = folder.size() > 2 && folder[0] == L'\\' && folder[1] == L'\\' &&
                     folder[2] != L'?' && folder[2] != L'.';
  if (!drive && !share) return std::nullopt;  // relative, a drive root or a device path
  for (size_t at = drive ? 3 : 2; at < folder.size();) {
    const size_t end = folder.find(L'\\', at);
    const std::wstring part = folder.substr(at, end - at);
    if (part.empty() || part == L"." || part == L"..") return std::nullopt;
    at = end + 1;
  }
  const DWORD attributes = ::GetFileAttributesW(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
    return std::nullopt;
  return folder;
}

std::optional<std::wstring> ParseWebAddress(const std::wstring& text) {
  for (wchar_t c : text) {
    if (c <= L' ' || c >= 127 || c == L'"' || c == L'<' || c == L'>' || c == L'\\' || c == L'^' ||
        c == L'`' || c == L'{' || c == L'}' || c == L'|')
      return std::nullopt;
  }
  const std::wstring lower = LowerAscii(text);
  std::wstring scheme;
  for (const wchar_t* s : {L"http://", L"https://"})
    if (lower.starts_with(s)) scheme = s;
  if (scheme.empty()) return std::nullopt;
  const size_t hostAt = scheme.size();
  const size_t pathAt = std::min(text.find_first_of(L"/?#", hostAt), text.size());
  const auto host = WebHost(lower.substr(hostAt, pathAt - hostAt));
  if (!host) return std::nullopt;
  const size_t restAt = std::min(text.find_first_of(L"?#", pathAt), text.size());
  const std::wstring path = text.substr(pathAt, restAt - pathAt);
  if (!PlainPath(path)) return std::nullopt;
  return scheme + *host + (path.empty() ? L"/" : path) + text.substr(restAt);
}

bool IsWebAddress(const std::wstring& text) { return ParseWebAddress(text).has_value(); }

TUpdateOutcome DecideUpdate(int32_t runningBuild, int32_t offeredBuild, const std::wstring& showUrl) {
  if (runningBuild >= offeredBuild) return TUpdateOutcome::NoUpdate;
  if (Trim(showUrl).empty()) return TUpdateOutcome::Nothing;
  return IsWebAddress(Trim(showUrl)) ? TUpdateOutcome::OpenPage : TUpdateOutcome::NoUpdate;
}

TDownloadResult Download(const std::wstring& url, const TDownloadLimits& limits) {
  auto download = std::make_shared<TDownload>();
  // Under Wine a request to a server that never answers blocks for minutes,
  // whatever its time-outs, and closing its handle does not end it: the
  // request runs on its own thread, which nobody waits for past the deadline.
  std::thread([download, url, limits] {
    TFetched fetched = Fetch(url, limits);
    std::lock_guard lock(download->Lock);
    download->Result = std::move(fetched);
    download->Finished = true;
    download->Done.notify_all();
  }).detach();
  std::unique_lock lock(download->Lock);
  if (!download->Done.wait_for(lock, std::chrono::milliseconds(limits.DeadlineMs),
                               [&] { return download->Finished; }))
    return Failed(TUpdateFailure::NoAnswer);
  TFetched& fetched = download->Result;
  if (fetched.Failure != TUpdateFailure::None) {
    // A request that timed out inside WinINet had no answer either.
    if (fetched.Failure == TUpdateFailure::NoConnection && fetched.Detail == ERROR_INTERNET_TIMEOUT)
      return Failed(TUpdateFailure::NoAnswer, fetched.Detail);
    const bool systemError = fetched.Failure == TUpdateFailure::NoConnection;
    return Failed(fetched.Failure, fetched.Detail,
                  systemError ? InternetErrorText(fetched.Detail) : std::wstring());
  }
  std::string& bytes = fetched.Bytes;
  if (const size_t zero = bytes.find('\0'); zero != std::string::npos) bytes.resize(zero);
  if (bytes.empty()) return Failed(TUpdateFailure::BadAnswer);
  const int n = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), int(bytes.size()), nullptr, 0);
  std::wstring text(size_t(std::max(n, 0)), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), int(bytes.size()), text.data(), n);
  TDownloadResult result;
  result.Text = std::move(text);
  return result;
}

std::wstring DownloadText(const std::wstring& url, const TDownloadLimits& limits) {
  return Download(url, limits).Text;
}

std::shared_ptr<TCheckUpdate> TCheckUpdate::Create(int32_t build, std::wstring url,
                                                   std::shared_ptr<const TUiCallLink> ui) {
  std::shared_ptr<TCheckUpdate> check(new TCheckUpdate());
  check->FBuild = build;
  check->FUrl = std::move(url);
  check->FUi = std::move(ui);
  return check;
}

void TCheckUpdate::Start() {
  std::thread([self = shared_from_this()] { self->Execute(); }).detach();
}

void TCheckUpdate::Execute() {
  if (FOnBegin) FUi->Send([&] { FOnBegin(*this); });
  const TDownloadResult download = Download(FUrl, FLimits);
  FFailure = download.Failure;
  FFailureDetail = download.Detail;
  FFailureText = download.ErrorText;
  if (FFailure == TUpdateFailure::None) ReadDownloaded(download.Text);
  if (FOnResult) FUi->Send([&] { FOnResult(*this, FTempFile, FBuild, FShowUrl, FNewInfo); });
  // The copy served the INI reader; it is not left in the temporary folder.
  if (!FTempFile.empty()) ::DeleteFileW(FTempFile.c_str());
}

// The text goes through a temporary file so that the system's INI reader
// reads it, in the ANSI code page.
void TCheckUpdate::ReadDownloaded(const std::wstring& text) {
  std::wstring temp = FTempPath.value_or(L"");
  if (!FTempPath) {
    wchar_t buffer[256] = {};
    const DWORD n = ::GetTempPathW(255, buffer);
    if (n > 0 && n <= 255) temp.assign(buffer, n);
  }
  // A temporary folder that names no folder of its own leaves the text unread.
  FFailure = TUpdateFailure::NoTempFolder;
  const auto folder = UpdateTempFolder(temp);
  if (!folder) return;
  const std::wstring file = *folder + RandomName() + L".ini";
  const int n = ::WideCharToMultiByte(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(size_t(std::max(n, 0)), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, text.data(), int(text.size()), bytes.data(), n, nullptr, nullptr);
  {
    UniqueKernelHandle out(::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                         FILE_ATTRIBUTE_TEMPORARY, nullptr));
    DWORD written = 0;
    if (!out || !::WriteFile(out.Get(), bytes.data(), DWORD(bytes.size()), &written, nullptr) ||
        written != bytes.size())
      return;
  }
  FTempFile = file;
  const TUpdateInfo info = ReadUpdateFile(file, FSection, FBuild, FDefaultShowUrl);
  FFailure = info.HasBuild ? TUpdateFailure::None : TUpdateFailure::BadAnswer;
  FBuild = info.Build;
  FShowUrl = info.ShowUrl;
  FNewInfo = info.NewInfo;
}

}  // namespace quor
