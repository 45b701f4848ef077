#include <algorithm>

#include "base/Text.h"
#include "cli/CliOutput.h"
#include "cli/Commands.h"
#include "cli/ProgramJson.h"
#include "inventory/EnumPrograms.h"
#include "inventory/Registry.h"

namespace quor::cli {
namespace {

void PrintJson(const TSoftwareList& list) {
  auto array = nlohmann::ordered_json::array();
  for (int32_t i = 0; i < list.Count(); ++i) array.push_back(ProgramToJson(*list.Items(i)));
  WriteOutUtf8(array.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n");
}

std::wstring Pad(const std::wstring& text, size_t width) {
  return text.size() >= width ? text : text + std::wstring(width - text.size(), L' ');
}

void PrintTable(const TSoftwareList& list) {
  struct Row {
    std::wstring Name, Version, Publisher, Size, Date, Key;
  };
  std::vector<Row> rows;
  rows.push_back({L"Name", L"Version", L"Publisher", L"Size KiB", L"Installed", L"Key"});
  for (int32_t i = 0; i < list.Count(); ++i) {
    const auto p = list.Items(i);
    // Registrations are anyone's data: no control character reaches the terminal.
    rows.push_back({EscapeForTerminal(p->DisplayName), EscapeForTerminal(p->DisplayVersion),
                    EscapeForTerminal(p->Publisher), p->Size > 0 ? std::to_wstring(p->Size) : L"-",
                    p->InstallDate.ToIsoText().substr(0, 10),
                    EscapeForTerminal(RootKeyName(p->RootKey) + L"\\" + p->KeyPath)});
  }
  size_t w[5] = {};
  for (const auto& r : rows) {
    const std::wstring* cells[5] = {&r.Name, &r.Version, &r.Publisher, &r.Size, &r.Date};
    for (int c = 0; c < 5; ++c) w[c] = std::min<size_t>(std::max(w[c], cells[c]->size()), 48);
  }
  std::wstring out;
  for (const auto& r : rows) {
    out += Pad(r.Name, w[0]) + L"  " + Pad(r.Version, w[1]) + L"  " + Pad(r.Publisher, w[2]) +
           L"  " + Pad(r.Size, w[3]) + L"  " + Pad(r.Date, w[4]) + L"  " + r.Key + L"\n";
  }
  out += std::to_wstring(list.Count()) + L" programs\n";
  WriteOut(out);
}

}  // namespace

int RunList(const Args& args) {
  bool json = false;
  for (const auto& a : args) {
    if (a == L"--json") {
      json = true;
    } else {
      PrintUsage();
      return kExitUsage;
    }
  }
  TSoftwareList list;
  EnumPrograms(list);
  if (json) {
    PrintJson(list);
  } else {
    PrintTable(list);
  }
  return kExitOk;
}

}  // namespace quor::cli
