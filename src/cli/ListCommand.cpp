#include <algorithm>

#include "base/Text.h"
#include "cli/CliHelp.h"
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

void AppendPadded(std::wstring& out, const std::wstring& text, size_t width) {
  out += text;
  if (text.size() < width) out.append(width - text.size(), L' ');
}

void PrintTable(const TSoftwareList& list) {
  struct Row {
    std::wstring Name, Version, Publisher, Size, Date, Key;
  };
  std::vector<Row> rows;
  rows.reserve(static_cast<size_t>(list.Count()) + 1);
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
    AppendPadded(out, r.Name, w[0]);
    out += L"  ";
    AppendPadded(out, r.Version, w[1]);
    out += L"  ";
    AppendPadded(out, r.Publisher, w[2]);
    out += L"  ";
    AppendPadded(out, r.Size, w[3]);
    out += L"  ";
    AppendPadded(out, r.Date, w[4]);
    out += L"  ";
    out += r.Key;
    out += L'\n';
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
      return UsageError(L"list", OptionError(a));
    }
  }
  TSoftwareList list;
  // The table shows a few fields of each record; JSON prints them all.
  EnumPrograms(list, json ? TProgramDetail::Full : TProgramDetail::Listing);
  if (json) {
    PrintJson(list);
  } else {
    PrintTable(list);
  }
  return kExitOk;
}

}  // namespace quor::cli
