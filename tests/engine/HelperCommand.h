#pragma once
// Command lines that run the test helper program.

#include <string>

#include "support/ChildProcess.h"

namespace quor::test {

inline std::wstring HelperPath() { return ExeFolder() + L"\\quor_test_helper.exe"; }
inline std::wstring HelperCommand(const std::wstring& args) {
  return L"\"" + HelperPath() + L"\" " + args;
}

}  // namespace quor::test
