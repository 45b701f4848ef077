#include "app/ProgramSort.h"

#include <algorithm>

#include "inventory/UninstallObject.h"

namespace quor {

namespace {

wchar_t UpperAscii(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - 32) : c; }

// Folding to upper case matters: "_" (0x5F) sorts after the letters, not
// before them as it would after folding to lower case.
int CompareTextUpper(std::wstring_view a, std::wstring_view b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const wchar_t ca = UpperAscii(a[i]);
    const wchar_t cb = UpperAscii(b[i]);
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

template <typename T>
int Sign(const T& a, const T& b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

int CompareSize(const TProgramRowKeys& a, const TProgramRowKeys& b) {
  if (!a.Record || !b.Record) return 0;
  return Sign(a.Record->GetSize(), b.Record->GetSize());
}

int CompareDate(const TProgramRowKeys& a, const TProgramRowKeys& b) {
  if (!a.Record || !b.Record) return 0;
  return Sign(a.Record->InstallDate, b.Record->InstallDate);
}

}  // namespace

int CompareByNameAsc(const TProgramRowKeys& a, const TProgramRowKeys& b) {
  return CompareTextUpper(a.Caption, b.Caption);
}
int CompareByNameDesc(const TProgramRowKeys& a, const TProgramRowKeys& b) {
  return CompareTextUpper(b.Caption, a.Caption);
}
int CompareByPublisherAsc(const TProgramRowKeys& a, const TProgramRowKeys& b) {
  return CompareTextUpper(a.Publisher, b.Publisher);
}
int CompareByPublisherDesc(const TProgramRowKeys& a, const TProgramRowKeys& b) {
  return CompareTextUpper(b.Publisher, a.Publisher);
}
int CompareBySizeAsc(const TProgramRowKeys& a, const TProgramRowKeys& b) { return CompareSize(a, b); }
int CompareBySizeDesc(const TProgramRowKeys& a, const TProgramRowKeys& b) { return CompareSize(b, a); }
int CompareByDateAsc(const TProgramRowKeys& a, const TProgramRowKeys& b) { return CompareDate(a, b); }
int CompareByDateDesc(const TProgramRowKeys& a, const TProgramRowKeys& b) { return CompareDate(b, a); }

TRowCompare SortCompareFor(int column, int sortStateBefore) {
  // The first click sorts names and publishers from Z to A, sizes and dates
  // from the smallest; each further click reverses the order.
  const bool second = sortStateBefore == 1;
  switch (column) {
    case pcName:
      return second ? CompareByNameAsc : CompareByNameDesc;
    case pcPublisher:
      return second ? CompareByPublisherAsc : CompareByPublisherDesc;
    case pcSize:
      return second ? CompareBySizeDesc : CompareBySizeAsc;
    case pcDate:
      return second ? CompareByDateDesc : CompareByDateAsc;
    default:
      return nullptr;
  }
}

}  // namespace quor
