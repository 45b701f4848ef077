#include "ui/Anchors.h"

#include <algorithm>

namespace quor {
namespace {

// One axis: position and length for the new window length.
void Place(int& pos, int& len, bool nearSide, bool farSide, int designTotal, int total) {
  const int grow = total - designTotal;
  if (nearSide && farSide) {
    len = std::max(0, len + grow);
  } else if (farSide) {
    pos += grow;
  } else if (!nearSide && designTotal > 0) {
    const int centre = pos + len / 2;
    pos = int(int64_t(centre) * total / designTotal) - len / 2;
  }
}

}  // namespace

TBounds AnchoredBounds(const TBounds& design, uint8_t anchors, SIZE designClient, SIZE client) {
  TBounds b = design;
  Place(b.Left, b.Width, anchors & akLeft, anchors & akRight, designClient.cx, client.cx);
  Place(b.Top, b.Height, anchors & akTop, anchors & akBottom, designClient.cy, client.cy);
  return b;
}

}  // namespace quor
