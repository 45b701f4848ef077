#pragma once

#include <string>

namespace quor {

// Whether a file or folder exists, also seen past the file-system
// redirection of a 32-bit process on 64-bit Windows; a path without an
// extension also finds the program of that name with ".exe", ".com",
// ".bat", ".cmd" or ".dll". Network paths are probed like any other: callers
// that must stay off the network test for them first.
bool FileExistsEx(const std::wstring& path);

// A path of the form "\\server\...": on another machine.
bool IsNetworkPathText(const std::wstring& path);

}  // namespace quor
