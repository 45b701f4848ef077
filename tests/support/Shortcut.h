#pragma once

#include <string>

namespace quor::test {

// Writes a shell shortcut at `lnkPath` pointing at `target`.
bool MakeShortcut(const std::wstring& lnkPath, const std::wstring& target);

}  // namespace quor::test
