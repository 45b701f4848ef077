#include "app/RemovalReport.h"

#include <vector>

#include "base/PathEllipsis.h"

namespace quor {
namespace {

// The pattern with `value` in place of its `marker`, or after it when a
// translation left the marker out.
std::wstring Format(const std::wstring& pattern, const wchar_t* marker, const std::wstring& value) {
  std::wstring text = pattern;
  const size_t at = text.find(marker);
  if (at == std::wstring::npos) return text + L" " + value;
  return text.replace(at, 2, value);
}

std::wstring FormatCount(const std::wstring& pattern, size_t count) {
  return Format(pattern, L"%d", std::to_wstring(count));
}

// "path (reason)" for each item `wanted` picks, under `heading`, at most
// kReportMaxItems of them and then the More line; empty when none is picked.
// An item the removal did not reach gives `notTried` as its reason.
template <class Wanted>
std::wstring ItemLines(const TUninstallObject& program, const TRemovalReportTexts& texts,
                       const std::wstring& notTried, const Wanted& wanted) {
  std::vector<std::wstring> lines;
  size_t picked = 0;
  for (int32_t i = 0; i < program.LeftoverCount(); ++i) {
    if (!wanted(i)) continue;
    ++picked;
    if (lines.size() >= kReportMaxItems) continue;
    const TLeftOverItem* item = program.GetLeftover(i);
    std::wstring line = ShortenedPath(item ? item->Path : std::wstring(), kReportMaxPathChars);
    const bool reached = program.LeftoverState(i) != TRemovalState::NotTried;
    const std::wstring& reason = reached ? program.LeftoverError(i) : notTried;
    if (!reason.empty()) line += L" (" + reason + L")";
    lines.push_back(std::move(line));
  }
  if (picked == 0) return {};
  std::wstring text = texts.Heading;
  for (const std::wstring& line : lines) text += L"\n" + line;
  if (picked > lines.size()) text += L"\n" + FormatCount(texts.More, picked - lines.size());
  return text;
}

bool FailedOrNotTried(TRemovalState state) {
  return state == TRemovalState::Failed || state == TRemovalState::NotTried;
}

}  // namespace

std::wstring ShortenedPath(const std::wstring& path, size_t maxChars) {
  return ShortenPathMiddle(path, int(maxChars),
                           [](std::wstring_view text) { return int(text.size()); });
}

TRemovalCounts CountRemovalStates(const TUninstallObject& program) {
  TRemovalCounts counts;
  for (int32_t i = 0; i < program.LeftoverCount(); ++i) {
    const TRemovalState state = program.LeftoverState(i);
    if (state == TRemovalState::Removed)
      ++counts.Removed;
    else if (state == TRemovalState::Kept)
      ++counts.Kept;
    else
      ++counts.Failed;
  }
  return counts;
}

std::wstring RemovalSummaryText(const TUninstallObject& program,
                                const TRemovalSummaryTexts& texts) {
  const TRemovalCounts counts = CountRemovalStates(program);
  std::wstring text = FormatCount(texts.Removed, counts.Removed) + L"\n" +
                      FormatCount(texts.Kept, counts.Kept) + L"\n" +
                      FormatCount(texts.Failed, counts.Failed);
  const std::wstring failed = ItemLines(program, texts.FailedItems, texts.NotTried, [&](int32_t i) {
    return FailedOrNotTried(program.LeftoverState(i));
  });
  const std::wstring leftInPlace =
      ItemLines(program, {texts.LeftInPlace, texts.FailedItems.More}, {}, [&](int32_t i) {
        return program.LeftoverState(i) == TRemovalState::Kept && !program.IsLeftoverKept(i);
      });
  for (const std::wstring* group : {&failed, &leftInPlace})
    if (!group->empty()) text += L"\n\n" + *group;
  text += L"\n\n";
  text += program.BackupSet().empty() ? texts.NoBackupSet
                                      : Format(texts.BackupSet, L"%s", program.BackupSet());
  return text;
}

}  // namespace quor
