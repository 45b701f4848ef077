#pragma once
// Pictures of the program's windows as the screen shows them: for the
// documentation (taken only when QUOR_WINDOW_SHOTS names a folder), and
// pixels for tests that check what was painted.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace quor::test {

// What the screen shows in a rectangle, top row first, 0x00RRGGBB.
struct TScreenPixels {
  RECT Rect{};
  int Width = 0, Height = 0;
  std::vector<uint32_t> Pixels;

  // In screen coordinates; 0 outside the rectangle.
  uint32_t At(int x, int y) const;
  // How many pixels of `r` (screen coordinates, clipped to Rect) are dark:
  // text on the list's light background.
  int DarkPixels(const RECT& r) const;
  // Saves the pixels as a 24-bit bitmap file.
  bool SaveBitmap(const std::wstring& path) const;
};

// The part of `r` that lies on the screen.
TScreenPixels CaptureScreen(const RECT& r);

// Saves what the screen shows of `window` as <folder>\<name>.bmp, the folder
// taken from QUOR_WINDOW_SHOTS; does nothing when that is unset.
void ShootWindowIfAsked(HWND window, const std::wstring& name);

}  // namespace quor::test
