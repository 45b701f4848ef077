#pragma once

#include <string>

namespace quor {

// The path with the long-path prefix ("\\?\" or "\\?\UNC\") when it is an
// absolute drive or UNC path, so that paths beyond 260 characters work.
// Other texts (relative, quoted, already prefixed) are returned unchanged.
std::wstring LongPath(const std::wstring& path);

}  // namespace quor
