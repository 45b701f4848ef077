#include <gtest/gtest.h>

#include <string>

#include "cli/CliOutput.h"

namespace quor::cli {
namespace {

struct EscapeCase {
  std::wstring Text;
  std::wstring Printed;
};

// Registrations are anyone's data: whatever a terminal would act on, or what
// would make the printed line read differently from the name, is written as
// an escape; ordinary letters of any script pass unchanged.
TEST(CliOutput, EscapesWhatATerminalWouldActOn) {
  const EscapeCase cases[] = {
      {L"Plain Tool 1.0", L"Plain Tool 1.0"},
      {L"\x1b[2J\r\a\x7f", L"\\x1b[2J\\x0d\\x07\\x7f"},
      {L"a\u0085b\u009bc", L"a\\u0085b\\u009bc"},                   // C1: next line, CSI
      {L"line\u2028para\u2029", L"line\\u2028para\\u2029"},         // separators
      {L"\u200e\u200f\u061c", L"\\u200e\\u200f\\u061c"},            // direction marks
      {L"exe.\u202etxt", L"exe.\\u202etxt"},                        // right-to-left override
      {L"\u2066x\u2069", L"\\u2066x\\u2069"},                       // isolates
      {std::wstring(L"a") + wchar_t(0xD800) + L"b", L"a\\ud800b"},  // lone high surrogate
      {std::wstring(1, wchar_t(0xDC01)), L"\\udc01"},               // lone low surrogate
      {std::wstring(1, wchar_t(0xD83D)), L"\\ud83d"},               // cut off at the end
      {L"\U0001F600 \u00e9\u4e2d\u05d0", L"\U0001F600 \u00e9\u4e2d\u05d0"},  // pairs and scripts
  };
  for (const EscapeCase& c : cases) {
    EXPECT_EQ(EscapeForTerminal(c.Text), c.Printed);
  }
}

}  // namespace
}  // namespace quor::cli
