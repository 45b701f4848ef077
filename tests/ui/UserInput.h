#pragma once
// Real input through SendInput: it goes to the foreground window, as the
// user's own would.

#include <windows.h>

#include <string>

namespace quor::test {

// Moves the pointer to a screen point (the move is reported to the window
// under it) and waits until the system has taken it.
void MoveMouseTo(POINT screen);
// Moves there, presses and releases the left button.
void ClickAt(POINT screen);
// Moves there, presses and releases the right button.
void RightClickAt(POINT screen);
// Presses and releases a key.
void PressKey(WORD virtualKey);
// Types the text character by character.
void TypeText(const std::wstring& text);

// Brings `window` to the foreground and answers whether it got there.
bool BringToFront(HWND window, DWORD timeoutMs = 10000);

POINT CentreOf(const RECT& r);

}  // namespace quor::test
