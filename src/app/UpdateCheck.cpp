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
struct TDownload {
  std::mutex Lock;
  std::condition_variable Done;
  bool Finished = false;
  std::string Bytes;
};

struct TInternetCloser {
  void operator()(HINTERNET handle) const { ::InternetCloseHandle(handle); }
};
using UniqueInternet = std::unique_ptr<void, TInternetCloser>;

std::string Fetch(const std::wstring& url, size_t maxBytes, DWORD timeoutMs) {
  UniqueInternet session(::InternetOpenW(L"", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!session) return {};
  for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT,
                       INTERNET_OPTION_SEND_TIMEOUT})
    ::InternetSetOptionW(session.get(), option, &timeoutMs, sizeof(timeoutMs));
  static const wchar_t kHeader[] = L"Accept-Charset: utf-8\r\n";
  UniqueInternet request(::InternetOpenUrlW(session.get(), url.c_str(), kHeader,
                                            DWORD(std::size(kHeader) - 1),
                                            INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0));
  if (!request) return {};
  std::string bytes;
  char chunk[1025];
  while (bytes.size() < maxBytes) {
    DWORD read = 0;
    const DWORD want = DWORD(std::min(sizeof(chunk), maxBytes - bytes.size()));
    if (!::InternetReadFile(request.get(), chunk, want, &read) || read == 0) break;
    bytes.append(chunk, read);
  }
  return bytes;
}

}  // namespace

TUpdateInfo ReadUpdateFile(const std::wstring& file, const std::wstring& section, int32_t build,
                           const std::wstring& defaultShowUrl) {
  TUpdateInfo info;
  info.Build = WholeNumber(ProfileString(file, section.c_str(), L"Build", L"")).value_or(build);
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

std::wstring UpdateTempFolder(const std::wstring& tempPath) {
  std::wstring folder = LongPathForm(tempPath);
  if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
  if (folder.find(L'%') != std::wstring::npos) return L"c:\\";
  return folder;
}

bool IsWebAddress(const std::wstring& text) {
  std::wstring lower;
  for (wchar_t c : text) {
    if (c <= L' ' || c == 127 || c == L'"' || c == L'<' || c == L'>') return false;
    lower += (c >= L'A' && c <= L'Z') ? wchar_t(c - L'A' + L'a') : c;
  }
  for (std::wstring scheme : {L"http://", L"https://"})
    if (lower.starts_with(scheme) && lower.size() > scheme.size()) return true;
  return false;
}

TUpdateOutcome DecideUpdate(int32_t runningBuild, int32_t offeredBuild, const std::wstring& showUrl) {
  if (runningBuild >= offeredBuild) return TUpdateOutcome::NoUpdate;
  if (Trim(showUrl).empty()) return TUpdateOutcome::Nothing;
  return IsWebAddress(Trim(showUrl)) ? TUpdateOutcome::OpenPage : TUpdateOutcome::NoUpdate;
}

std::wstring DownloadText(const std::wstring& url, const TDownloadLimits& limits) {
  auto download = std::make_shared<TDownload>();
  // Under Wine a request to a server that never answers blocks for minutes,
  // whatever its time-outs, and closing its handle does not end it: the
  // request runs on its own thread, which nobody waits for past the deadline.
  std::thread([download, url, limits] {
    std::string bytes = Fetch(url, limits.MaxBytes, limits.DeadlineMs);
    std::lock_guard lock(download->Lock);
    download->Bytes = std::move(bytes);
    download->Finished = true;
    download->Done.notify_all();
  }).detach();
  std::unique_lock lock(download->Lock);
  if (!download->Done.wait_for(lock, std::chrono::milliseconds(limits.DeadlineMs),
                               [&] { return download->Finished; }))
    return {};
  std::string& bytes = download->Bytes;
  if (const size_t zero = bytes.find('\0'); zero != std::string::npos) bytes.resize(zero);
  if (bytes.empty()) return {};
  const int n = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), int(bytes.size()), nullptr, 0);
  std::wstring text(size_t(std::max(n, 0)), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), int(bytes.size()), text.data(), n);
  return text;
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
  const std::wstring text = DownloadText(FUrl, FLimits);
  if (!text.empty()) ReadDownloaded(text);
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
    if (n == 0 || n > 255) return;
    temp.assign(buffer, n);
  }
  const std::wstring folder = UpdateTempFolder(temp);
  const DWORD attributes = ::GetFileAttributesW(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
  const std::wstring file = folder + RandomName() + L".ini";
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
  FBuild = info.Build;
  FShowUrl = info.ShowUrl;
  FNewInfo = info.NewInfo;
}

}  // namespace quor
