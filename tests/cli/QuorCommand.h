#pragma once
// The command line that runs the built quor.exe with the given arguments.

#include <string>

#include "support/ChildProcess.h"

namespace quor::test {

inline std::wstring Quor(const std::wstring& args) {
  return L"\"" + ExeFolder() + L"\\quor.exe\" " + args;
}

}  // namespace quor::test
