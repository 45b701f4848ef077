#pragma once
// The program list as its window tells it: the column titles, then one line
// per visible row with the row's caption and cells, separated by tabs.

#include <optional>
#include <string>
#include <vector>

namespace quor::test {

struct TListRow {
  std::wstring Name, Publisher, Size, Date, Version;
};

struct TListText {
  std::vector<std::wstring> Titles;
  std::vector<TListRow> Rows;

  // The rows whose caption starts with `prefix`, in list order.
  std::vector<TListRow> RowsStartingWith(const std::wstring& prefix) const;
  std::optional<TListRow> Row(const std::wstring& name) const;
  std::vector<std::wstring> Names() const;
};

// Empty titles and no rows for a text that is not a list's.
TListText ParseListText(const std::wstring& text);

}  // namespace quor::test
