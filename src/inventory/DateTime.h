#pragma once
// A local date and time of day. Field order makes the default comparison
// chronological.

#include <windows.h>

#include <compare>
#include <string>

namespace quor {

struct TDateTime {
  int Year = 0;
  int Month = 0;
  int Day = 0;
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
  int Millisecond = 0;

  auto operator<=>(const TDateTime&) const = default;

  static TDateTime FromSystemTime(const SYSTEMTIME& st) noexcept;
  // Today at 00:00, local time.
  static TDateTime Today() noexcept;
  // A valid calendar day (years 1 to 9999) at 00:00, or false.
  static bool TryEncodeDate(int year, int month, int day, TDateTime& out) noexcept;

  // "YYYY-MM-DDTHH:MM:SS"
  std::wstring ToIsoText() const;
};

}  // namespace quor
