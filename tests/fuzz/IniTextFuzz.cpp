// libFuzzer target for the INI reader, built natively with clang by
// `tools/dev fuzz`. Any input must parse, and every section and key the
// reader reports must be found again by look-up.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/IniText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const quor::TIniText ini = quor::TIniText::Parse(bytes);
  for (const auto& section : ini.SectionNames()) {
    for (const auto& key : ini.KeyNames(section)) {
      if (ini.Find(section, key) == nullptr) std::abort();
    }
  }
  ini.Read(L"Translation", L"DefaultFontSize", L"8");
  ini.Read(L"Uninstall", L"TotalStat", L"");
  return 0;
}
