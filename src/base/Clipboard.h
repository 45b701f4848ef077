#pragma once
// Text on the system clipboard.

#include <windows.h>

#include <string>

namespace quor {

// The clipboard's Unicode text, or empty when it holds none or cannot be opened.
std::wstring ReadClipboardText(HWND owner);
// Puts `text` on the clipboard in place of what it held; false when it
// cannot (an empty text is not put there).
bool WriteClipboardText(HWND owner, const std::wstring& text);

}  // namespace quor
