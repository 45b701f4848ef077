#pragma once
// Rectangle arithmetic shared by the controls: left and top inclusive, right
// and bottom exclusive, as the system's rectangles.

#include <windows.h>

#include <algorithm>

namespace quor {

inline constexpr RECT kNoRect{-1, -1, -1, -1};

inline bool RectEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

// The common part, or an empty rectangle at the origin.
inline RECT RectIntersection(const RECT& a, const RECT& b) {
  const RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
               std::min(a.bottom, b.bottom)};
  return RectEmpty(r) ? RECT{0, 0, 0, 0} : r;
}

inline bool RectContains(const RECT& outer, const RECT& inner) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

inline bool RectHolds(const RECT& r, POINT p) {
  return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

}  // namespace quor
