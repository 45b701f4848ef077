#include "inventory/DateTime.h"

#include <cstdio>

namespace quor {

TDateTime TDateTime::FromSystemTime(const SYSTEMTIME& st) noexcept {
  return TDateTime{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond,
                   st.wMilliseconds};
}

TDateTime TDateTime::Today() noexcept {
  SYSTEMTIME st{};
  ::GetLocalTime(&st);
  return TDateTime{st.wYear, st.wMonth, st.wDay, 0, 0, 0, 0};
}

bool TDateTime::TryEncodeDate(int year, int month, int day, TDateTime& out) noexcept {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  const int last = kDays[month - 1] + ((month == 2 && leap) ? 1 : 0);
  if (day > last) return false;
  out = TDateTime{year, month, day, 0, 0, 0, 0};
  return true;
}

std::wstring TDateTime::ToIsoText() const {
  wchar_t buf[32];
  std::swprintf(buf, 32, L"%04d-%02d-%02dT%02d:%02d:%02d", Year, Month, Day, Hour, Minute,
                Second);
  return buf;
}

}  // namespace quor
