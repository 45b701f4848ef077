#include "ui/ListText.h"

namespace quor::test {
namespace {

std::vector<std::wstring> Split(const std::wstring& text, const std::wstring& separator) {
  std::vector<std::wstring> parts;
  size_t from = 0;
  for (;;) {
    const size_t at = text.find(separator, from);
    parts.push_back(text.substr(from, at == std::wstring::npos ? std::wstring::npos : at - from));
    if (at == std::wstring::npos) return parts;
    from = at + separator.size();
  }
}

}  // namespace

TListText ParseListText(const std::wstring& text) {
  TListText list;
  if (text.empty()) return list;
  const std::vector<std::wstring> lines = Split(text, L"\r\n");
  list.Titles = Split(lines[0], L"\t");
  for (size_t i = 1; i < lines.size(); ++i) {
    std::vector<std::wstring> cells = Split(lines[i], L"\t");
    cells.resize(5);
    list.Rows.push_back({cells[0], cells[1], cells[2], cells[3], cells[4]});
  }
  return list;
}

std::vector<TListRow> TListText::RowsStartingWith(const std::wstring& prefix) const {
  std::vector<TListRow> rows;
  for (const TListRow& row : Rows)
    if (row.Name.starts_with(prefix)) rows.push_back(row);
  return rows;
}

std::optional<TListRow> TListText::Row(const std::wstring& name) const {
  for (const TListRow& row : Rows)
    if (row.Name == name) return row;
  return std::nullopt;
}

std::vector<std::wstring> TListText::Names() const {
  std::vector<std::wstring> names;
  for (const TListRow& row : Rows) names.push_back(row.Name);
  return names;
}

}  // namespace quor::test
