#pragma once
// The hand pointer over the controls of a dialog that open something.

#include <initializer_list>

#include "toolkit/QuorDirectForm.h"

namespace quor {

// Shows the hand when the mouse is over one of `links` (visible ones only);
// true when it did, so that the caller answers WM_SETCURSOR itself.
bool ShowHandOverLinks(const TQuorDirectForm& form,
                       std::initializer_list<const TQuorControlBase*> links);

}  // namespace quor
