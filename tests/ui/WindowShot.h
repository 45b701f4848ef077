#pragma once
// Pictures of the program's windows as the screen shows them, for the
// documentation: taken only when QUOR_WINDOW_SHOTS names a folder.

#include <windows.h>

#include <string>

namespace quor::test {

// Saves what the screen shows of `window` as <folder>\<name>.bmp, the folder
// taken from QUOR_WINDOW_SHOTS; does nothing when that is unset.
void ShootWindowIfAsked(HWND window, const std::wstring& name);

}  // namespace quor::test
