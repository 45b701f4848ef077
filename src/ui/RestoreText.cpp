#include "ui/RestoreText.h"

#include <algorithm>

#include "base/Text.h"
#include "inventory/ProgramSize.h"

namespace quor {
namespace {

uint64_t Ticks(const FILETIME& t) { return (uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime; }

bool Newer(const TBackupSetInfo* a, const TBackupSetInfo* b) {
  if (Ticks(a->TimeUtc) != Ticks(b->TimeUtc)) return Ticks(a->TimeUtc) > Ticks(b->TimeUtc);
  return a->Id > b->Id;
}

std::wstring Reason(const TRestoreItemResult& item, const TRestoreSummaryTexts& texts) {
  if (item.State == TRestoreState::Exists) return texts.Exists;
  return item.Reason.empty() ? texts.Failed : item.Reason;
}

}  // namespace

std::wstring RestoreDateText(const std::string& time) {
  const bool shaped = time.size() == 19 && time[4] == '-' && time[7] == '-' && time[10] == 'T' &&
                      time[13] == ':' && time[16] == ':';
  if (!shaped) return FromUtf8(time);
  return FromUtf8(time.substr(0, 10) + " " + time.substr(11, 5));
}

std::vector<TRestoreRow> RestoreRows(const std::vector<TBackupSetInfo>& sets,
                                     const std::wstring& restoredMark) {
  std::vector<const TBackupSetInfo*> order;
  for (const TBackupSetInfo& set : sets) order.push_back(&set);
  std::stable_sort(order.begin(), order.end(), Newer);
  std::vector<TRestoreRow> rows;
  for (const TBackupSetInfo* set : order) {
    std::wstring date = RestoreDateText(set->Time);
    if (set->Restored) date += L" " + restoredMark;
    rows.push_back({.Program = set->Program.empty() ? set->Id : set->Program,
                    .Date = std::move(date),
                    .Items = std::to_wstring(set->Items),
                    .Size = set->Size > 0 ? FormatSize(set->Size) : L"-",
                    .Set = set});
  }
  return rows;
}

std::wstring FillTemplate(const std::wstring& text, std::wstring_view conversion,
                          const std::wstring& value) {
  const size_t at = text.find(conversion);
  if (at == std::wstring::npos) return text;
  return text.substr(0, at) + value + text.substr(at + conversion.size());
}

std::wstring RestoreQuestion(const TBackupSetInfo& set, const std::wstring& first,
                             const std::wstring& again) {
  return FillTemplate(set.Restored ? again : first, L"%s",
                      set.Program.empty() ? set.Id : set.Program);
}

std::vector<std::wstring> RestoreSummary(const TRestoreReport& report,
                                         const TRestoreSummaryTexts& texts, size_t maxListed) {
  std::vector<std::wstring> lines{
      FillTemplate(texts.Done, L"%d", std::to_wstring(report.Restored))};
  std::vector<std::wstring> left;
  if (!report.Error.empty()) left.push_back(report.Error);
  for (const TRestoreItemResult& item : report.Items) {
    if (item.State != TRestoreState::Restored)
      left.push_back(item.Path + L" (" + Reason(item, texts) + L")");
  }
  if (left.empty()) return lines;
  lines.push_back(texts.NotDone);
  const size_t listed = std::min(left.size(), maxListed);
  lines.insert(lines.end(), left.begin(), left.begin() + ptrdiff_t(listed));
  if (left.size() > listed)
    lines.push_back(FillTemplate(texts.More, L"%d", std::to_wstring(left.size() - listed)));
  return lines;
}

}  // namespace quor
