#include "engine/LeftoverScan.h"

#include "engine/Removal.h"
#include "engine/UninstallHelper.h"
#include "inventory/Registry.h"

namespace quor {

void ScanLeftovers(TUninstallHelper& engine, TUninstallObject& program) {
  program.ClearLeftovers();
  engine.SetProgress(0);
  if (KeyExists(program.RootKey, program.KeyPath)) {
    program.AddLeftover({RootKeyName(program.RootKey) + L"\\" + program.KeyPath, lkRegKey});
  }
}

}  // namespace quor
