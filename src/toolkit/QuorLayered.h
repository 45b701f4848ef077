#pragma once
// Showing a 32-bit surface as the whole of a layered window.

#include <windows.h>

#include "toolkit/QuorBitmap.h"

namespace quor {

// UpdateLayeredWindow at the window's current position with the surface's size, per-pixel
// alpha and `alpha` as constant opacity. Nothing happens without a window or a surface.
void PresentLayered(HWND window, const TQuorBitmap& surface, int alpha);

}  // namespace quor
