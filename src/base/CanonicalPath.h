#pragma once
// One spelling per folder. A registration is data anyone could have written,
// so a folder text is taken only in a plain absolute form; every other
// spelling ("..", ".", forward slashes, doubled backslashes, device and
// loop-back prefixes, administrative shares, drive-relative forms,
// components ending in a dot or blank) names nothing.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace quor {

struct TCanonicalFolder {
  // "C:\Program Files\App" or "\\server\share\App": no trailing backslash,
  // except for a drive root ("C:\"); 8.3 names in their long form.
  std::wstring Path;
  // Where the folder exists: the system's final path of it (through any
  // link on the way); else the same as Path.
  std::wstring Final;
  bool Exists = false;
  bool IsLink = false;  // the folder itself is a link (reparse point)
};

// Replaces "%NAME%" tokens; what it leaves is tried against the environment.
using TPathExpander = std::function<std::wstring(const std::wstring&)>;

// Strips blanks and one pair of surrounding quotes, expands "%NAME%" tokens,
// and checks the form. Network paths are never touched: their form is
// checked, their existence not probed.
std::optional<TCanonicalFolder> CanonicalFolder(std::wstring_view text,
                                                const TPathExpander& expand = {});

// Only the form check and the clean-up of the text, without any file-system
// access: the canonical spelling, or nothing.
std::optional<std::wstring> CanonicalFolderText(std::wstring_view text,
                                                const TPathExpander& expand = {});

// "C:\" or "\\server\share".
bool IsRootFolder(std::wstring_view canonical) noexcept;

// `path` is `folder` or lies below it; both canonical, compared with case
// folded over all of Unicode.
bool IsAtOrBelow(std::wstring_view path, std::wstring_view folder) noexcept;

}  // namespace quor
