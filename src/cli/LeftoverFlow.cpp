#include "cli/LeftoverFlow.h"

#include "base/CanonicalPath.h"
#include "base/Text.h"
#include "cli/CliOutput.h"
#include "cli/Prepare.h"
#include "engine/Backup.h"
#include "engine/Removal.h"

namespace quor::cli {
namespace {

bool IsRegistryRootName(std::wstring_view name) {
  for (const wchar_t* root :
       {L"hkey_classes_root", L"hkcr", L"hkey_current_user", L"hkcu", L"hkey_local_machine",
        L"hklm", L"hkey_users", L"hku", L"hkey_current_config", L"hkcc"}) {
    if (SameTextAscii(name, root)) return true;
  }
  return false;
}

// A registry path is taken as written, but for one trailing backslash: an
// empty component or a NUL is refused.
bool IsPlainRegistryPath(const std::wstring& path) {
  if (path.find(L'\0') != std::wstring::npos) return false;
  const std::wstring_view rest =
      std::wstring_view(path).substr(0, path.size() - (path.back() == L'\\' ? 1 : 0));
  return rest.find(L"\\\\") == std::wstring_view::npos && (rest.empty() || rest.front() != L'\\');
}

std::wstring Column(const char* text, size_t width) {
  std::wstring out = FromUtf8(text);
  out.resize(std::max(width, out.size()), L' ');
  return out;
}

}  // namespace

// The JSON and table name of an item's kind, as backup records spell it.
const char* KindName(uint8_t kind) { return BackupKindName(kind); }

const char* MatchedByName(TMatchedBy matchedBy) {
  switch (matchedBy) {
    case TMatchedBy::InstallFolder:
      return "installFolder";
    case TMatchedBy::Registration:
      return "registration";
    case TMatchedBy::Location:
      return "location";
    case TMatchedBy::Name:
      return "name";
    case TMatchedBy::Folder:
      return "folder";
    case TMatchedBy::Guid:
      return "guid";
    case TMatchedBy::RelatedFolder:
      return "relatedFolder";
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
  int failed = 0, kept = 0;
  for (int32_t i = 0; i < program.LeftoverCount(); ++i) {
    const TRemovalState state = program.LeftoverState(i);
    if (state != TRemovalState::Failed && state != TRemovalState::Kept) continue;
    failed += state == TRemovalState::Failed ? 1 : 0;
    kept += state == TRemovalState::Kept ? 1 : 0;
    const TLeftOverItem* item = program.GetLeftover(i);
    out += std::wstring(state == TRemovalState::Failed ? L"failed  " : L"kept    ") +
           Column(KindName(item->Kind), 9) + EscapeForTerminal(item->Path) + L"  (" +
           EscapeForTerminal(program.LeftoverError(i)) + L")\n";
  }
  if (failed > 0) out += std::to_wstring(failed) + L" items could not be removed.\n";
  if (kept > 0) out += std::to_wstring(kept) + L" items were kept.\n";
  if (failed == 0 && kept == 0) out += L"Removed.\n";
  if (!program.BackupSet().empty())
    out += L"Backup set: " + EscapeForTerminal(program.BackupSet()) + L"\n";
  WriteOut(out);
}

std::optional<std::wstring> CanonicalKeepPath(const std::wstring& text) {
  std::wstring path = Trim(text);
  if (path.size() >= 2 && path.front() == L'"' && path.back() == L'"')
    path = Trim(path.substr(1, path.size() - 2));
  if (path.empty()) return std::nullopt;
  const size_t slash = path.find(L'\\');
  if (IsRegistryRootName(std::wstring_view(path).substr(0, slash))) {
    if (slash != std::wstring::npos && !IsPlainRegistryPath(path.substr(slash + 1)))
      return std::nullopt;
    return ComparableItemPath(path);
  }
  for (auto& c : path) {
    if (c == L'/') c = L'\\';
  }
  const auto folder = CanonicalFolder(path);
  if (!folder) return std::nullopt;
  return ComparableItemPath(folder->Path);
}

std::vector<std::wstring> MarkKept(TUninstallObject& program,
                                   const std::vector<std::wstring>& keep) {
  std::vector<std::wstring> unmatched;
  for (const auto& k : keep) {
    const auto canonical = CanonicalKeepPath(k);
    if (!canonical) {
      unmatched.push_back(k);
      continue;
    }
    const std::wstring& base = *canonical;
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
    if (!matched && belowListed) program.AddKeptBelow(base);
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
  // A spelling that might not name what the user means is refused before
  // anything is scanned: a kept path must be honoured exactly.
  for (const auto& k : options.Keep) {
    if (CanonicalKeepPath(k)) continue;
    WriteErr(L"quor: --keep " + EscapeForTerminal(k) +
             L" is not a plain full path (no \".\" or \"..\", doubled backslashes, streams, "
             L"or names ending in a dot or blank)\n");
    outcome.UsageError = true;
  }
  if (outcome.UsageError) {
    WriteErr(L"quor: nothing was removed\n");
    return outcome;
  }
  engine.Uninstall(program, true);
  const std::vector<std::wstring> unmatched = MarkKept(*program, options.Keep);
  if (!unmatched.empty()) {
    for (const auto& k : unmatched) {
      WriteErr(L"quor: --keep " + EscapeForTerminal(k) +
               L" names no listed item and lies below none\n");
    }
    WriteErr(L"quor: nothing was removed\n");
    outcome.UsageError = true;
    return outcome;
  }
  if (!options.All) KeepWeakItems(*program);
  KeepItemsInsideKept(*program);
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
    outcome.Kept += program->LeftoverState(i) == TRemovalState::Kept ? 1 : 0;
  }
  if (print) PrintRemovalResult(*program);
  return outcome;
}

}  // namespace quor::cli
