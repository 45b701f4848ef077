// quor backups | restore, and the backup settings every removal command uses.

#include <windows.h>

#include <optional>

#include "app/BackupSettings.h"
#include "base/Text.h"
#include "cli/CliHelp.h"
#include "cli/CliOutput.h"
#include "cli/Commands.h"
#include "cli/LeftoverFlow.h"
#include "cli/Prepare.h"
#include "engine/BackupSets.h"
#include "inventory/ProgramSize.h"

namespace quor::cli {
namespace {

std::wstring ExeFolder() {
  std::wstring path(32768, L'\0');
  const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(n);
  return path.substr(0, path.find_last_of(L'\\') + 1);
}

TBackupSettings Settings() { return ReadBackupSettings(ConfigFileFor(ExeFolder())); }

FILETIME Now() {
  FILETIME now{};
  ::GetSystemTimeAsFileTime(&now);
  return now;
}

std::wstring Column(const std::wstring& text, size_t width) {
  return text.size() >= width ? text : text + std::wstring(width - text.size(), L' ');
}

nlohmann::ordered_json SetToJson(const TBackupSetInfo& set) {
  nlohmann::ordered_json j;
  j["id"] = ToUtf8(set.Id);
  j["time"] = set.Time;
  j["program"] = ToUtf8(set.Program);
  j["items"] = set.Items;
  j["size"] = set.Size;
  j["restored"] = set.Restored;
  return j;
}

std::wstring RestoredWhen(const TBackupSetInfo& set) {
  return set.RestoredTime.empty() ? std::wstring(L"time unknown") : FromUtf8(set.RestoredTime);
}

void PrintSets(const std::vector<TBackupSetInfo>& sets) {
  std::wstring out = Column(L"Id", 40) + L"  " + Column(L"Items", 6) + L"  " + Column(L"Size", 10) +
                     L"  Program\n";
  for (const auto& set : sets) {
    out += Column(EscapeForTerminal(set.Id), 40) + L"  " + Column(std::to_wstring(set.Items), 6) +
           L"  " + Column(FormatSize(set.Size), 10) + L"  " + EscapeForTerminal(set.Program) +
           (set.Restored ? L"  (restored)" : L"") + L"\n";
  }
  out += std::to_wstring(sets.size()) + L" backups\n";
  WriteOut(out);
}

// A folder there that is no usable set never stops a command: it is named,
// with its reason, on stderr.
void ReportRefused(const std::vector<TRefusedBackupSet>& refused) {
  for (const auto& r : refused) {
    WriteErr(L"quor: backup " + EscapeForTerminal(r.Id) + L" skipped: " +
             EscapeForTerminal(r.Reason) + L"\n");
  }
}

int Purge(const Args& args) {
  std::optional<int32_t> days;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == L"--purge") continue;
    if (args[i] == L"--older-than" && i + 1 < args.size() && !days) {
      const std::wstring& n = args[++i];
      if (n.empty() || n.size() > 6 || n.find_first_not_of(L"0123456789") != std::wstring::npos) {
        return UsageError(L"backups",
                          L"--older-than needs a whole number of days, not " + Quoted(n));
      }
      days = std::stoi(n);
      continue;
    }
    return UsageError(L"backups", args[i] == L"--older-than"
                                      ? L"--older-than needs a number of days, once"
                                      : OptionError(args[i]));
  }
  const std::wstring root = BackupFolderOf({});
  const auto deleted = PurgeBackupSets(root, days, Now());
  for (const auto& set : deleted) WriteOut(L"Deleted " + EscapeForTerminal(set.Id) + L"\n");
  const TBackupListing left = ReadBackupSets(root);
  ReportRefused(left.Refused);
  const size_t stayed = left.Sets.size() + left.Refused.size();
  WriteOut(std::to_wstring(deleted.size()) + L" backups deleted, " + std::to_wstring(stayed) +
           L" kept\n");
  return kExitOk;
}

// The set named by `id`, or the exit status when there is none to restore.
std::optional<TBackupSetInfo> SetToRestore(const std::wstring& id, int& exitCode) {
  const TBackupMatch match = MatchBackupSet(BackupFolderOf({}), id);
  if (match.Set) return match.Set;
  if (match.Refused) {
    WriteErr(L"quor: backup " + EscapeForTerminal(match.Refused->Id) + L" cannot be restored: " +
             EscapeForTerminal(match.Refused->Reason) + L"\n");
    exitCode = kExitFailure;
  } else if (!match.Candidates.empty()) {
    WriteErr(L"quor: several backups match " + EscapeForTerminal(id) + L":\n");
    for (const auto& c : match.Candidates) WriteErr(L"  " + EscapeForTerminal(c) + L"\n");
    exitCode = kExitAmbiguous;
  } else {
    WriteErr(L"quor: no backup " + EscapeForTerminal(id) + L"\n");
    exitCode = kExitNoMatch;
  }
  return std::nullopt;
}

const wchar_t* StateName(TRestoreState state) {
  switch (state) {
    case TRestoreState::Restored:
      return L"restored";
    case TRestoreState::Exists:
      return L"exists  ";
    case TRestoreState::Failed:
      return L"failed  ";
  }
  return L"failed  ";
}

// One line per item, the paths below it that were not put back indented
// beneath, then counts that add up to the item lines.
std::wstring RestoreReportText(const TRestoreReport& report, bool overwrite) {
  std::wstring out;
  for (const auto& item : report.Items) {
    out += (item.Below ? L"          " : std::wstring(StateName(item.State)) + L"  ") +
           Column(FromUtf8(KindName(item.Kind)), 9) + EscapeForTerminal(item.Path) +
           (item.Reason.empty() ? L"" : L"  (" + EscapeForTerminal(item.Reason) + L")") + L"\n";
  }
  out += std::to_wstring(report.Restored) + L" items restored";
  if (report.InPlace > 0) out += L", " + std::to_wstring(report.InPlace) + L" in place already";
  if (report.NotRestored > 0) {
    out +=
        L", " + std::to_wstring(report.NotRestored) + L" not" +
        (overwrite ? L""
                   : L" (what exists now is left as it is; --overwrite replaces files and values)");
  }
  return out + L".\n";
}

}  // namespace

TBackupOptions BackupOptions(bool noBackup) {
  TBackupOptions options;
  options.Enabled = !noBackup && Settings().Enabled;
  return options;
}

void ApplyStartupRetention() { ApplyRetention(BackupFolderOf({}), Settings().Retention, Now()); }

int RunBackups(const Args& args) {
  for (const auto& a : args) {
    if (a == L"--purge") return Purge(args);
  }
  bool json = false;
  for (const auto& a : args) {
    if (a != L"--json") return UsageError(L"backups", OptionError(a));
    json = true;
  }
  const TBackupListing listing = ReadBackupSets(BackupFolderOf({}));
  const auto& sets = listing.Sets;
  ReportRefused(listing.Refused);
  if (json) {
    auto array = nlohmann::ordered_json::array();
    for (const auto& set : sets) array.push_back(SetToJson(set));
    WriteOutUtf8(array.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n");
  } else {
    PrintSets(sets);
  }
  return kExitOk;
}

int RunRestore(const Args& args) {
  std::optional<std::wstring> id;
  bool yes = false;
  TRestoreOptions options;
  for (const auto& a : args) {
    if (a == L"--yes") {
      yes = true;
    } else if (a == L"--overwrite") {
      options.Overwrite = true;
    } else if (a == L"--again") {
      options.Again = true;
    } else if (!id && !a.empty() && a.rfind(L"--", 0) != 0) {
      id = a;
    } else {
      return UsageError(L"restore",
                        id && a.rfind(L"--", 0) != 0
                            ? L"more than one backup given: " + Quoted(*id) + L" and " + Quoted(a)
                            : OptionError(a));
    }
  }
  if (!id)
    return UsageError(L"restore", L"no backup given: the id that backups lists, or its start");
  int exitCode = kExitOk;
  const auto set = SetToRestore(*id, exitCode);
  if (!set) return exitCode;
  if (set->Restored && !options.Again) {
    WriteErr(L"quor: backup " + EscapeForTerminal(set->Id) + L" was restored before (" +
             EscapeForTerminal(RestoredWhen(*set)) +
             L"); restoring it again could put old files and values over changes made since.\n"
             L"Nothing was restored; --again restores it anyway.\n");
    return kExitFailure;
  }
  WriteOut(L"Backup " + EscapeForTerminal(set->Id) + L" of " + EscapeForTerminal(set->Program) +
           L": " + std::to_wstring(set->Items) + L" items\n");
  if (!yes && !Confirm(L"Put these items back?")) {
    WriteOut(L"Nothing was restored.\n");
    return kExitFailure;
  }
  const TRestoreReport report = RestoreBackupSet(*set, options);
  if (!report.Error.empty()) {
    WriteErr(L"quor: nothing was restored: " + EscapeForTerminal(report.Error) + L"\n");
    return kExitFailure;
  }
  WriteOut(RestoreReportText(report, options.Overwrite));
  return report.NotRestored > 0 ? kExitFailure : kExitOk;
}

}  // namespace quor::cli
