#include "app/RemovalReport.h"

#include <vector>

namespace quor {
namespace {

std::wstring FormatCount(const std::wstring& pattern, size_t count) {
  std::wstring text = pattern;
  const size_t at = text.find(L"%d");
  if (at == std::wstring::npos) return text + L" " + std::to_wstring(count);
  return text.replace(at, 2, std::to_wstring(count));
}

}  // namespace

std::wstring ShortenedPath(const std::wstring& path, size_t maxChars) {
  static constexpr wchar_t kGap[] = L"...";
  constexpr size_t gap = 3;
  if (path.size() <= maxChars || maxChars <= gap + 2) return path;
  const size_t keep = maxChars - gap;
  const size_t head = keep / 2;
  return path.substr(0, head) + kGap + path.substr(path.size() - (keep - head));
}

std::wstring RemovalFailureText(const TUninstallObject& program, const TRemovalReportTexts& texts) {
  std::vector<std::wstring> lines;
  size_t failed = 0;
  for (int32_t i = 0; i < program.LeftoverCount(); ++i) {
    if (program.LeftoverState(i) != TRemovalState::Failed) continue;
    ++failed;
    if (lines.size() >= kReportMaxItems) continue;
    const TLeftOverItem* item = program.GetLeftover(i);
    std::wstring line = ShortenedPath(item ? item->Path : std::wstring(), kReportMaxPathChars);
    if (!program.LeftoverError(i).empty()) line += L" (" + program.LeftoverError(i) + L")";
    lines.push_back(std::move(line));
  }
  if (failed == 0) return {};
  std::wstring text = texts.Heading;
  for (const std::wstring& line : lines) text += L"\n" + line;
  if (failed > lines.size()) text += L"\n" + FormatCount(texts.More, failed - lines.size());
  return text;
}

}  // namespace quor
