#pragma once
// Paths shortened to a width by taking folders out of their middle, so that
// where a path starts (its drive, share or registry root) and what it names
// (its last part) stay readable. Free of windows: the width of a text is
// asked of the caller.

#include <functional>
#include <string>
#include <string_view>

namespace quor {

inline constexpr wchar_t kEllipsis[] = L"\u2026";

// The width of a text, in whatever unit the caller's `width` is in.
using TTextWidth = std::function<int(std::wstring_view text)>;

// Where a path's root ends: after "C:\", "\\server\share\", "\\?\C:\",
// "\\?\UNC\server\share\", or else after its first backslash
// ("HKEY_CURRENT_USER\"); 0 for a text without a backslash.
size_t PathRootLength(std::wstring_view path);

// `path` as it fits in `width`:
// - whole when it fits;
// - else its root and its last part (a folder keeps its trailing backslash),
//   with an ellipsis in place of the folders between them that do not fit;
//   the folders nearest the last part are kept first, then those after the root;
// - else the root, an ellipsis and as much of the end as fits;
// - else as much of the start as fits, then an ellipsis (empty when not even
//   the ellipsis fits).
std::wstring ShortenPathMiddle(std::wstring_view path, int width, const TTextWidth& measure);

}  // namespace quor
