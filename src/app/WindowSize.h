#pragma once
// A window's size as the user left it, kept in Config.ini, and where the
// window goes when it opens again: centred on its owner, wholly on the
// screen's work area.

#include <windows.h>

#include <optional>
#include <string>

namespace quor {

// Keys "Width" and "Height" of `section`; nothing when either is missing or
// not a whole number.
std::optional<SIZE> ReadWindowSize(const std::wstring& configFile, const std::wstring& section);
// Writes both keys; a new file starts as UTF-16. False when it cannot.
bool WriteWindowSize(const std::wstring& configFile, const std::wstring& section, SIZE size);

// The window's rectangle: `wanted` size, but at least `minimum` and at most
// the work area; centred on `owner`, then moved as little as needed to lie
// wholly inside `work` (its top-left corner first, when it cannot).
RECT PlaceWindow(SIZE wanted, SIZE minimum, const RECT& owner, const RECT& work);

}  // namespace quor
