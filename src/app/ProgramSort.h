#pragma once
// Sorting the program list by a header click: the comparison functions and
// which of them a click on a column chooses.

#include <string_view>

namespace quor {

class TUninstallObject;

// What the comparisons read of a row: its caption, its publisher cell and the
// record it shows (none for a row without one).
struct TProgramRowKeys {
  std::wstring_view Caption;
  std::wstring_view Publisher;
  TUninstallObject* Record = nullptr;
};

// Negative, zero or positive, as the first row sorts before, with or after
// the second.
using TRowCompare = int (*)(const TProgramRowKeys& a, const TProgramRowKeys& b);

// Texts compare by character code after folding a to z to upper case.
int CompareByNameAsc(const TProgramRowKeys& a, const TProgramRowKeys& b);
int CompareByNameDesc(const TProgramRowKeys& a, const TProgramRowKeys& b);
int CompareByPublisherAsc(const TProgramRowKeys& a, const TProgramRowKeys& b);
int CompareByPublisherDesc(const TProgramRowKeys& a, const TProgramRowKeys& b);
// Sizes as GetSize answers them (-1 while computed sorts as the smallest);
// sizes and dates compare equal when either row has no record.
int CompareBySizeAsc(const TProgramRowKeys& a, const TProgramRowKeys& b);
int CompareBySizeDesc(const TProgramRowKeys& a, const TProgramRowKeys& b);
int CompareByDateAsc(const TProgramRowKeys& a, const TProgramRowKeys& b);
int CompareByDateDesc(const TProgramRowKeys& a, const TProgramRowKeys& b);

// Columns of the program list, by position.
enum TProgramColumn : int { pcName = 0, pcPublisher = 1, pcSize = 2, pcDate = 3, pcVersion = 4 };

// The comparison for a click on a header, from the column's sort state
// before the click (0 unsorted, 1 and 2 the two directions the list shows);
// null for a column that does not sort (the version).
TRowCompare SortCompareFor(int column, int sortStateBefore);

}  // namespace quor
