#include "app/BackupSettings.h"

#include <cwchar>

#include "app/IniFile.h"
#include "app/LanguageSettings.h"
#include "base/FileExists.h"
#include "base/Text.h"

namespace quor {
namespace {

constexpr wchar_t kSection[] = L"Backup";

}  // namespace

TBackupSettings ReadBackupSettings(const std::wstring& configFile) {
  TBackupSettings settings;
  const auto ini = LoadIniFile(configFile);
  if (!ini) return settings;
  if (auto enabled = WholeNumber(ini->Find(kSection, L"Enabled"))) settings.Enabled = *enabled != 0;
  if (auto days = WholeNumber(ini->Find(kSection, L"KeepDays"))) {
    settings.Retention.MaxAgeDays = static_cast<int32_t>(std::min<int64_t>(*days, 1'000'000));
  }
  if (auto mb = WholeNumber(ini->Find(kSection, L"MaxTotalMB"))) settings.Retention.MaxTotalBytes = *mb << 20;
  return settings;
}

// Reading settings makes no folder: a command that only reads must leave
// no trace of the program behind.
std::wstring ConfigFileFor(const std::wstring& exeDir) {
  std::wstring programDir = exeDir;
  if (!programDir.empty() && programDir.back() != L'\\') programDir += L'\\';
  if (FileExistsEx(programDir + L"config.ini")) return programDir + L"config.ini";
  const std::wstring appData = TLanguageSettings::AppDataFolder();
  if (appData.empty()) return programDir + L"Config.ini";
  return appData + L"Quor Uninstaller\\Config.ini";
}

}  // namespace quor
