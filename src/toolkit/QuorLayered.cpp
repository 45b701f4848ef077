#include "toolkit/QuorLayered.h"

#include <algorithm>

namespace quor {

void PresentLayered(HWND window, const TQuorBitmap& surface, int alpha) {
  if (!window || surface.Empty()) return;
  ::GdiFlush();
  RECT r{};
  ::GetWindowRect(window, &r);
  POINT pos{r.left, r.top}, origin{0, 0};
  SIZE size{surface.Width(), surface.Height()};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, BYTE(std::clamp(alpha, 0, 255)), AC_SRC_ALPHA};
  ::UpdateLayeredWindow(window, nullptr, &pos, &size, surface.Dc(), &origin, 0, &blend,
                        ULW_ALPHA);
}

}  // namespace quor
