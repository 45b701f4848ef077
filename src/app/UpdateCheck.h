#pragma once
// The update check: downloads the vendor's small update-information file on
// a thread of its own, reads the newest build from it and hands the result
// to the user-interface thread. A download never takes longer than its
// deadline, and nothing ever waits for a checker that is still running.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/UiCalls.h"

namespace quor {

struct TUpdateInfo {
  int32_t Build = 0;
  bool HasBuild = false;  // the file gave a whole number for "Build"; else Build is the default
  std::wstring ShowUrl;
  std::vector<std::wstring> NewInfo;  // the key names of section "NewInfo", in order
};

// The values of an update file on disk as the system's INI reader reads
// them: "Build" from `section` (`build` when missing or not a whole number),
// "ShowUrl" from "VerInfo" (`defaultShowUrl` when missing).
TUpdateInfo ReadUpdateFile(const std::wstring& file, const std::wstring& section, int32_t build,
                           const std::wstring& defaultShowUrl);

// Each component of a path as the file system spells its long name; the
// path unchanged from the first component that cannot be found.
std::wstring LongPathForm(const std::wstring& path);
// Where the temporary copy goes: the long form of `tempPath` with a trailing
// backslash; nothing when that names no folder: it holds "%", is not an
// absolute local path, or is no existing folder.
std::optional<std::wstring> UpdateTempFolder(const std::wstring& tempPath);

// An http or https address in the form in which it may be opened: a host
// (letters, digits, dots and hyphens, or a bracketed IPv6 address), an
// optional port and a path without dot segments, also percent-encoded ones.
// Nothing if the text is any other kind of text: another scheme, user
// information before the host, blanks, quotes, backslashes (also encoded in
// the path), control or non-ASCII characters. The scheme and host come back
// in lower case, and an empty path as "/".
std::optional<std::wstring> ParseWebAddress(const std::wstring& text);
// Only such an address is ever opened from the update file.
bool IsWebAddress(const std::wstring& text);

struct TDownloadLimits {
  size_t MaxBytes = 64 * 1024;  // the rest of a longer body is not read
  DWORD DeadlineMs = 20000;     // the whole download, connecting included
  int MaxRedirects = 5;         // each to a web address; one more fails the download
};

// Why a check found out nothing.
enum class TUpdateFailure {
  None,
  NoConnection,  // the request could not be made: no network, no server, a name not found
  HttpStatus,    // the server answered with an error status (Detail)
  NoAnswer,      // nothing came within the deadline
  Redirects,     // too many redirects, or one to an address that is not a web address
  BadAnswer,     // an empty body, or no whole number for "Build"
  NoTempFolder,  // the answer could not be stored to be read
};

struct TDownloadResult {
  std::wstring Text;
  TUpdateFailure Failure = TUpdateFailure::None;
  DWORD Detail = 0;        // the HTTP status, or the system's error code
  std::wstring ErrorText;  // the system's text for that error code
};

// The body at `url` up to its first zero byte, decoded in the system's ANSI
// code page, or why there is none. Once the deadline has passed the request
// goes on unheard on a thread of its own.
TDownloadResult Download(const std::wstring& url, const TDownloadLimits& limits = {});
// The body alone; empty on any failure.
std::wstring DownloadText(const std::wstring& url, const TDownloadLimits& limits = {});

// What a finished check leads to.
enum class TUpdateOutcome {
  OpenPage,  // a newer build: open the show address
  Nothing,   // a newer build with an empty show address: nothing to open
  NoUpdate,  // "No effective update found."
};
TUpdateOutcome DecideUpdate(int32_t runningBuild, int32_t offeredBuild, const std::wstring& showUrl);

class TCheckUpdate : public std::enable_shared_from_this<TCheckUpdate> {
 public:
  using TBeginEvent = std::function<void(TCheckUpdate& sender)>;
  using TResultEvent =
      std::function<void(TCheckUpdate& sender, const std::wstring& tempFile, int32_t build,
                         const std::wstring& showUrl, const std::vector<std::wstring>& newInfo)>;

  // `ui` runs the events on the user-interface thread.
  static std::shared_ptr<TCheckUpdate> Create(int32_t build, std::wstring url,
                                              std::shared_ptr<const TUiCallLink> ui);

  // Runs the check on a thread of its own, which holds the checker until it
  // ends. The events run on the user-interface thread while the check waits.
  void Start();

  int32_t FBuild = 0;
  std::wstring FUrl;
  std::wstring FShowUrl;
  std::wstring FTempFile;
  std::vector<std::wstring> FNewInfo;
  TBeginEvent FOnBegin;
  TResultEvent FOnResult;
  std::wstring FSection = L"VerInfo";
  std::wstring FDefaultShowUrl;
  TDownloadLimits FLimits;
  // The folder that GetTempPathW reports, unless set (for tests).
  std::optional<std::wstring> FTempPath;
  // Why the check found out nothing (None when the file was read); set
  // before FOnResult runs. FBuild is then the running build.
  TUpdateFailure FFailure = TUpdateFailure::None;
  DWORD FFailureDetail = 0;
  std::wstring FFailureText;

 private:
  TCheckUpdate() = default;
  void Execute();
  void ReadDownloaded(const std::wstring& text);

  std::shared_ptr<const TUiCallLink> FUi;
};

}  // namespace quor
