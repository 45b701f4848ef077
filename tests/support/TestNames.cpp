#include "support/TestNames.h"

#include <windows.h>

#include <atomic>

namespace quor::test {

std::wstring UniqueName(const std::wstring& prefix) {
  static std::atomic<unsigned> counter{0};
  return prefix + L"-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
         std::to_wstring(++counter) + L"-" + std::to_wstring(::GetTickCount64() % 100000);
}

}  // namespace quor::test
