#include "cli/LeftoverFlow.h"

#include <algorithm>

#include "base/Text.h"
#include "cli/CliOutput.h"
#include "cli/Prepare.h"
#include "engine/Removal.h"

namespace quor::cli {
namespace {

std::wstring FoldPath(const std::wstring& path) {
  std::wstring folded = LowerAscii(path);
  while (!folded.empty() && folded.back() == L'\\') folded.pop_back();
  return folded;
}

bool IsAtOrBelow(const std::wstring& path, const std::wstring& base) {
  return path == base || (path.size() > base.size() && path.compare(0, base.size(), base) == 0 &&
                          path[base.size()] == L'\\');
}

}  // namespace

const char* KindName(uint8_t kind) {
  switch (kind) {
    case lkFile: return "file";
    case lkFolder: return "folder";
    case lkRegKey: return "regkey";
    case lkRegValue: return "regvalue";
    default: return "unknown";
  }
}

nlohmann::ordered_json LeftoversToJson(const TUninstallObject& program) {
  auto items = nlohmann::ordered_json::array();
  for (int32_t i = 0; i < program.LeftoverCount(); ++i) {
    const TLeftOverItem* item = program.GetLeftover(i);
    nlohmann::ordered_json j;
    j["path"] = ToUtf8(item->Path);
    j["kind"] = KindName(item->Kind);
    items.push_back(j);
  }
  return items;
}

void PrintLeftovers(const TUninstallObject& program) {
  std::wstring out;
  for (int32_t i = 0; i < program.LeftoverCount(); ++i) {
    const TLeftOverItem* item = program.GetLeftover(i);
    std::wstring kind = FromUtf8(KindName(item->Kind));
    kind.resize(9, L' ');
    out += (program.IsLeftoverKept(i) ? L"keep  " : L"      ") + kind + item->Path + L"\n";
  }
  out += std::to_wstring(program.LeftoverCount()) + L" leftovers found\n";
  WriteOut(out);
}

void MarkKept(TUninstallObject& program, const std::vector<std::wstring>& keep) {
  for (const auto& k : keep) {
    const std::wstring base = FoldPath(k);
    for (int32_t i = 0; i < program.LeftoverCount(); ++i) {
      if (IsAtOrBelow(FoldPath(program.GetLeftover(i)->Path), base)) program.SetLeftoverKept(i, true);
    }
  }
}

TLeftoverOutcome ScanAndRemove(TUninstallHelper& engine,
                               const std::shared_ptr<TUninstallObject>& program, bool yes,
                               const std::vector<std::wstring>& keep, bool print) {
  TLeftoverOutcome outcome;
  engine.Uninstall(program, true);
  MarkKept(*program, keep);
  if (print) PrintLeftovers(*program);
  if (program->LeftoverCount() == 0) return outcome;
  if (!yes && !Confirm(L"Remove these items?")) {
    outcome.Declined = true;
    if (print) WriteOut(L"Nothing was removed.\n");
    return outcome;
  }
  engine.RemoveLeftovers(program);
  outcome.Removed = true;
  std::vector<std::wstring> kept;
  for (int32_t i = 0; i < program->LeftoverCount(); ++i) {
    if (program->IsLeftoverKept(i)) kept.push_back(FoldPath(program->GetLeftover(i)->Path));
  }
  for (int32_t i = 0; i < program->LeftoverCount(); ++i) {
    if (program->IsLeftoverKept(i) || !LeftoverExists(*program->GetLeftover(i))) continue;
    // A folder that holds kept items stays by design.
    const std::wstring path = FoldPath(program->GetLeftover(i)->Path);
    const bool holdsKept = std::any_of(kept.begin(), kept.end(),
                                       [&](const std::wstring& k) { return IsAtOrBelow(k, path); });
    if (!holdsKept) ++outcome.Remaining;
  }
  if (print) {
    WriteOut(outcome.Remaining == 0
                 ? std::wstring(L"Removed.\n")
                 : std::to_wstring(outcome.Remaining) + L" items could not be removed.\n");
  }
  return outcome;
}

}  // namespace quor::cli
