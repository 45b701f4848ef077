#pragma once
// The scan for what a program left behind: files, folders, registry keys and
// values related to it, collected into the record's leftover list.

#include "inventory/UninstallObject.h"

namespace quor {

class TUninstallHelper;

// Clears the record's leftover list and fills it anew; reports progress
// through the engine's OnProgress after each rule entry and stops early when
// the engine is cancelled.
void ScanLeftovers(TUninstallHelper& engine, TUninstallObject& program);

}  // namespace quor
