#pragma once
// Where a control goes when its window changes size: each side it is
// anchored to keeps its distance from that side of the window.

#include <windows.h>

#include <cstdint>

#include "toolkit/QuorDirectControl.h"

namespace quor {

enum TAnchor : uint8_t { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
inline constexpr uint8_t akTopLeft = akLeft | akTop;
inline constexpr uint8_t akTopRight = akRight | akTop;
inline constexpr uint8_t akBottomRight = akRight | akBottom;
inline constexpr uint8_t akAll = akLeft | akTop | akRight | akBottom;

// The bounds for a window of `client` size, from the bounds designed for a
// window of `designClient` size. Anchored to both sides, the control
// stretches; to the far side only, it moves; to neither, it keeps its
// centre's share of the window. A size never goes below zero.
TBounds AnchoredBounds(const TBounds& design, uint8_t anchors, SIZE designClient, SIZE client);

}  // namespace quor
