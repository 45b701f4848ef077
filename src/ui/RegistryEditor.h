#pragma once
// Opening the system registry editor at a key, and selecting a value there,
// by driving its windows with simulated key strokes.

#include <windows.h>

#include <optional>
#include <string>
#include <utility>

namespace quor {

// A key text taken apart: the root and the path below it (empty for the root).
struct TRegistryKeyText {
  HKEY Root = nullptr;
  std::wstring SubKey;
  bool operator==(const TRegistryKeyText&) const = default;
};

// The root of a key text that begins (A to Z folded) with HKEY_LOCAL_MACHINE,
// HKEY_CURRENT_USER, HKEY_CLASSES_ROOT or HKEY_USERS, followed by the end
// of the text or a backslash; nothing for any other text.
std::optional<TRegistryKeyText> ParseRegistryKeyText(const std::wstring& text);

// A value's path text split at its last backslash: the key text and the
// value name.
std::pair<std::wstring, std::wstring> SplitValuePath(const std::wstring& path);

// What is typed into the editor's value list: the letters a to z as A to Z.
std::wstring TypedValueName(const std::wstring& name);

// How long OpenRegistryKey waits for a registry editor it has started.
inline constexpr DWORD kRegEditStartMs = 10000;

// Shows the registry editor with the key selected and, when `valueName` is
// not empty, that value selected in its list. False without a message when
// the key text is not valid, the key does not open, or no editor window
// appears within kRegEditStartMs.
bool OpenRegistryKey(const std::wstring& keyText, const std::wstring& valueName);

}  // namespace quor
