#pragma once

#include <string>

namespace quor::test {

// A name no other test or test process uses: prefix, process id, counter.
std::wstring UniqueName(const std::wstring& prefix);

}  // namespace quor::test
