#pragma once
// Where a program row's icon comes from: the registration's DisplayIcon or
// UninstallString, cut to a file and an icon number.

#include <string>

namespace quor {

struct TIconSource {
  std::wstring File;
  int Index = 0;  // the icon number inside File
};

// Drops one leading quote or apostrophe, then cuts after the first ".exe"
// (any case); a text without ".exe" stays as it is.
std::wstring IconPathOf(const std::wstring& text);

// Splits "file,N" at the first comma followed by a digit and takes that one
// digit as the icon number. Anything else (a negative resource id "-101",
// no comma) keeps the whole text and icon number 0.
TIconSource SplitIconIndex(const std::wstring& text);

}  // namespace quor
