#pragma once
// Typing the first letters of a row's caption to jump to it. Letters typed
// within a second of each other add up; the time comes from the caller so
// that no clock is read here.

#include <string>

namespace quor {

class TQuorTypeAhead {
 public:
  static constexpr unsigned kPauseMs = 1000;

  // Adds a letter typed at `timeMs` and returns the prefix to look for.
  const std::wstring& Type(wchar_t c, unsigned timeMs);
  // Whether a letter typed at `timeMs` would add to the prefix (the unsigned
  // difference stays right when the millisecond counter wraps).
  bool Continues(unsigned timeMs) const { return !FPrefix.empty() && timeMs - FLastMs <= kPauseMs; }
  void Reset() { FPrefix.clear(); }
  // True when every typed letter is the same ("aaa"): a caller that finds no
  // row for the whole prefix cycles through rows starting with that letter.
  bool Repeated() const;

 private:
  std::wstring FPrefix;
  unsigned FLastMs = 0;
};

// Whether `caption` starts with `prefix`, ignoring case.
bool StartsWithNoCase(const std::wstring& caption, const std::wstring& prefix);

}  // namespace quor
