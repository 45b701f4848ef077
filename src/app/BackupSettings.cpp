#include "app/BackupSettings.h"

#include <cwchar>

#include "app/IniFile.h"
#include "app/LanguageSettings.h"
#include "base/Text.h"

namespace quor {
namespace {

constexpr wchar_t kSection[] = L"Backup";

std::optional<int64_t> WholeNumber(const std::wstring* text) {
  if (!text) return std::nullopt;
  const std::wstring t = Trim(*text);
  if (t.empty() || t.size() > 12) return std::nullopt;
  int64_t value = 0;
  for (wchar_t c : t) {
    if (c < L'0' || c > L'9') return std::nullopt;
    value = value * 10 + (c - L'0');
  }
  return value;
}

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

std::wstring ConfigFileFor(const std::wstring& exeDir) {
  return TLanguageSettings::GetConfigDir(exeDir) + L"Config.ini";
}

}  // namespace quor
