#pragma once
// The one message after a removal: what went, what stayed and why, and the
// backup set that can bring it back.

#include <windows.h>

#include "app/RemovalReport.h"
#include "inventory/UninstallObject.h"
#include "toolkit/QuorMessageBox.h"

namespace quor {

// The summary's texts in the language in use.
TRemovalSummaryTexts RemovalSummaryTexts();

// Shows the summary of the record's last removal in `box` over `owner`: a
// warning when an item failed, else information.
void ShowRemovalSummary(TQuorMessageBox& box, HWND owner, const TUninstallObject& record);

}  // namespace quor
