#pragma once
// The program file's own version, as the main window shows it.

#include <cstdint>
#include <optional>
#include <string>

namespace quor {

struct TFileVersion {
  uint16_t Major = 0;
  uint16_t Minor = 0;
  uint16_t Release = 0;
  uint16_t Build = 0;  // the build number that the update check compares
  bool operator==(const TFileVersion&) const = default;
};

// The fixed file version of a program file's version resource, if it has one.
std::optional<TFileVersion> ReadFileVersion(const std::wstring& path);

// The running executable's version; all zero when it carries none.
TFileVersion OwnFileVersion();

// Major "." minor and release written together "." build: 1.0.3.42 gives
// "1.03.42", 2.1.10.7 gives "2.110.7".
std::wstring VersionText(const TFileVersion& version);

}  // namespace quor
