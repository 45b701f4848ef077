#include "toolkit/QuorType.h"

namespace quor {

int TQuorPadding::Get(int index) const {
  switch (index) {
    case 0: return FLeft;
    case 1: return FTop;
    case 2: return FRight;
    case 3: return FBottom;
    default: return 0;
  }
}

bool TQuorPadding::SetValue(int index, int value) {
  int* field = nullptr;
  switch (index) {
    case 0: field = &FLeft; break;
    case 1: field = &FTop; break;
    case 2: field = &FRight; break;
    case 3: field = &FBottom; break;
    default: return false;
  }
  if (*field == value) return false;
  *field = value;
  return true;
}

}  // namespace quor
