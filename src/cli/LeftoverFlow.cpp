#include "cli/LeftoverFlow.h"

#include "base/Text.h"
#include "cli/CliOutput.h"
#include "cli/Prepare.h"
#include "engine/Removal.h"

namespace quor::cli {
namespace {

bool IsAtOrBelow(const std::wstring& path, const std::wstring& base) {
  return path == base || (path.size() > base.size() && path.compare(0, base.size(), base) == 0 &&
                          path[base.size()] == L'\\');
}

std::wstring Column(const char* text, size_t width) {
  std::wstring out = FromUtf8(text);
  out.resize(std::max(width, out.size()), L' ');
  return out;
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

const char* MatchedByName(TMatchedBy matchedBy) {
  switch (matchedBy) {
    case TMatchedBy::InstallFolder: return "installFolder";
    case TMatchedBy::Registration: return "registration";
    case TMatchedBy::Location: return "location";
    case TMatchedBy::Name: return "name";
    case TMatchedBy::Folder: return "folder";
    case TMatchedBy::Guid: return "guid";
    case TMatchedBy::RelatedFolder: return "relatedFolder";
  }
  return "name";
}

nlohmann::ordered_json LeftoversToJson(const TUninstallObject& program) {
  auto items = nlohmann::ordered_json::array();
  for (int32_t i = 0; i < program.LeftoverCount(); ++i) {
    const TLeftOverItem* item = program.GetLeftover(i);
    nlohmann::ordered_json j;
    j["path"] = ToUtf8(item->Path);
    j["kind"] = KindName(item->Kind);
    j["matchedBy"] = MatchedByName(item->MatchedBy);
    j["confidence"] = item->Confidence == TConfidence::Low ? "low" : "high";
    items.push_back(j);
  }
  return items;
}

nlohmann::ordered_json FailedToJson(const TUninstallObject& program) {
  auto items = nlohmann::ordered_json::array();
  for (int32_t i = 0; i < program.LeftoverCount(); ++i) {
    if (program.LeftoverState(i) != TRemovalState::Failed) continue;
    const TLeftOverItem* item = program.GetLeftover(i);
    nlohmann::ordered_json j;
    j["path"] = ToUtf8(item->Path);
    j["kind"] = KindName(item->Kind);
    j["error"] = ToUtf8(program.LeftoverError(i));
    items.push_back(j);
  }
  return items;
}

void PrintLeftovers(const TUninstallObject& program) {
  std::wstring out;
  int weak = 0;
  for (int32_t i = 0; i < program.LeftoverCount(); ++i) {
    const TLeftOverItem* item = program.GetLeftover(i);
    const bool isWeak = item->Confidence == TConfidence::Low;
    weak += isWeak ? 1 : 0;
    out += std::wstring(program.IsLeftoverKept(i) ? L"keep  " : L"      ") +
           (isWeak ? L"weak  " : L"      ") + Column(KindName(item->Kind), 9) +
           EscapeForTerminal(item->Path) + L"\n";
  }
  out += std::to_wstring(program.LeftoverCount()) + L" leftovers found";
  if (weak > 0) out += L" (" + std::to_wstring(weak) + L" weak: found by a partial match)";
  WriteOut(out + L"\n");
}

void PrintRemovalResult(const TUninstallObject& program) {
  std::wstring out;
  int failed = 0;
  for (int32_t i = 0; i < program.LeftoverCount(); ++i) {
    const TRemovalState state = program.LeftoverState(i);
    if (state != TRemovalState::Failed && state != TRemovalState::Kept) continue;
    failed += state == TRemovalState::Failed ? 1 : 0;
    const TLeftOverItem* item = program.GetLeftover(i);
    out += std::wstring(state == TRemovalState::Failed ? L"failed  " : L"kept    ") +
           Column(KindName(item->Kind), 9) + EscapeForTerminal(item->Path) + L"  (" +
           EscapeForTerminal(program.LeftoverError(i)) + L")\n";
  }
  out += failed == 0 ? std::wstring(L"Removed.\n")
                     : std::to_wstring(failed) + L" items could not be removed.\n";
  WriteOut(out);
}

std::vector<std::wstring> MarkKept(TUninstallObject& program, const std::vector<std::wstring>& keep) {
  std::vector<std::wstring> unmatched;
  for (const auto& k : keep) {
    const std::wstring base = ComparableItemPath(k);
    bool matched = false;
    bool belowListed = false;
    for (int32_t i = 0; !base.empty() && i < program.LeftoverCount(); ++i) {
      const std::wstring path = ComparableItemPath(program.GetLeftover(i)->Path);
      if (IsAtOrBelow(path, base)) {
        program.SetLeftoverKept(i, true);
        matched = true;
      } else if (IsAtOrBelow(base, path)) {
        belowListed = true;
      }
    }
    if (!matched && belowListed) program.AddKeptBelow(k);
    if (!matched && !belowListed) unmatched.push_back(k);
  }
  return unmatched;
}

void KeepWeakItems(TUninstallObject& program) {
  for (int32_t i = 0; i < program.LeftoverCount(); ++i) {
    if (program.GetLeftover(i)->Confidence == TConfidence::Low) program.SetLeftoverKept(i, true);
  }
}

TLeftoverOutcome ScanAndRemove(TUninstallHelper& engine,
                               const std::shared_ptr<TUninstallObject>& program,
                               const TLeftoverOptions& options, bool print) {
  TLeftoverOutcome outcome;
  engine.Uninstall(program, true);
  const std::vector<std::wstring> unmatched = MarkKept(*program, options.Keep);
  if (!unmatched.empty()) {
    for (const auto& k : unmatched) {
      WriteErr(L"quor: --keep " + EscapeForTerminal(k) + L" names no listed item and lies below none\n");
    }
    WriteErr(L"quor: nothing was removed\n");
    outcome.UsageError = true;
    return outcome;
  }
  if (!options.All) KeepWeakItems(*program);
  if (print) PrintLeftovers(*program);
  if (program->LeftoverCount() == 0) return outcome;
  if (!options.Yes && !Confirm(L"Remove these items?")) {
    outcome.Declined = true;
    if (print) WriteOut(L"Nothing was removed.\n");
    return outcome;
  }
  engine.RemoveLeftovers(program);
  outcome.Removed = true;
  for (int32_t i = 0; i < program->LeftoverCount(); ++i) {
    outcome.Failed += program->LeftoverState(i) == TRemovalState::Failed ? 1 : 0;
  }
  if (print) PrintRemovalResult(*program);
  return outcome;
}

}  // namespace quor::cli
