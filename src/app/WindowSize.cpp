#include "app/WindowSize.h"

#include <algorithm>

#include "app/IniFile.h"

namespace quor {
namespace {

// Fits [start, start + length) into [low, high), keeping `low` when it cannot.
LONG Within(LONG start, LONG length, LONG low, LONG high) {
  return std::max(low, std::min(start, high - length));
}

}  // namespace

std::optional<SIZE> ReadWindowSize(const std::wstring& configFile, const std::wstring& section) {
  const auto ini = LoadIniFile(configFile);
  if (!ini) return std::nullopt;
  const auto width = WholeNumber(ini->Find(section, L"Width"));
  const auto height = WholeNumber(ini->Find(section, L"Height"));
  if (!width || !height || *width > 100000 || *height > 100000) return std::nullopt;
  return SIZE{LONG(*width), LONG(*height)};
}

bool WriteWindowSize(const std::wstring& configFile, const std::wstring& section, SIZE size) {
  if (::GetFileAttributesW(configFile.c_str()) == INVALID_FILE_ATTRIBUTES)
    CreateUnicodeIni(configFile);
  const std::wstring width = std::to_wstring(size.cx), height = std::to_wstring(size.cy);
  return ::WritePrivateProfileStringW(section.c_str(), L"Width", width.c_str(),
                                      configFile.c_str()) &&
         ::WritePrivateProfileStringW(section.c_str(), L"Height", height.c_str(),
                                      configFile.c_str());
}

RECT PlaceWindow(SIZE wanted, SIZE minimum, const RECT& owner, const RECT& work) {
  const LONG workWidth = work.right - work.left, workHeight = work.bottom - work.top;
  const LONG width = std::max(minimum.cx, std::min(wanted.cx, workWidth));
  const LONG height = std::max(minimum.cy, std::min(wanted.cy, workHeight));
  const LONG left =
      Within(owner.left + (owner.right - owner.left - width) / 2, width, work.left, work.right);
  const LONG top =
      Within(owner.top + (owner.bottom - owner.top - height) / 2, height, work.top, work.bottom);
  return {left, top, left + width, top + height};
}

}  // namespace quor
