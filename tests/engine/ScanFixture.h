#pragma once
// An engine in synchronous mode with the path-variable table and the rule
// lists loaded, and a program record to scan or remove.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>

#include "base/Text.h"
#include "engine/LeftoverRules.h"
#include "engine/LeftoverScan.h"
#include "engine/Removal.h"
#include "engine/UninstallHelper.h"
#include "inventory/EnvironmentStrings.h"
#include "inventory/Registry.h"
#include "support/TempFolder.h"

namespace quor::test {

class ScanFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    InitEnvironmentStrings();
    LoadRuleLists();
    engine = std::make_unique<TUninstallHelper>();
    // Removals back up as the product does, into a folder of the test's own.
    backups = std::make_unique<TempFolder>(L"QuorBackups");
    engine->Backup.Folder = backups->Path();
  }
  void TearDown() override {
    engine.reset();
    backups.reset();
    FreeRuleLists();
    DoneEnvironmentStrings();
  }

  std::shared_ptr<TUninstallObject> Program(const TUninstallItem& item) {
    TSoftwareList holder;
    return holder.Items(holder.Add(-1, item));
  }

  // The forced uninstall's scan, as the engine runs it.
  void Scan(const std::shared_ptr<TUninstallObject>& program) { engine->Uninstall(program, true); }
  void Remove(const std::shared_ptr<TUninstallObject>& program) { engine->RemoveLeftovers(program); }

  static int IndexOf(const TUninstallObject& p, const std::wstring& path) {
    for (int32_t i = 0; i < p.LeftoverCount(); ++i) {
      if (SameTextAscii(p.GetLeftover(i)->Path, path)) return i;
    }
    return -1;
  }
  static bool Has(const TUninstallObject& p, const std::wstring& path, uint8_t kind) {
    const int i = IndexOf(p, path);
    return i >= 0 && p.GetLeftover(i)->Kind == kind;
  }
  static std::optional<TConfidence> Confidence(const TUninstallObject& p, const std::wstring& path) {
    const int i = IndexOf(p, path);
    if (i < 0) return std::nullopt;
    return p.GetLeftover(i)->Confidence;
  }
  static std::wstring Dump(const TUninstallObject& p) {
    std::wstring out;
    for (int32_t i = 0; i < p.LeftoverCount() && i < 60; ++i) {
      const TLeftOverItem* item = p.GetLeftover(i);
      out += std::to_wstring(item->Kind) + (item->Confidence == TConfidence::Low ? L" weak " : L" ") +
             item->Path + L"\n";
    }
    return out;
  }

  std::unique_ptr<TUninstallHelper> engine;
  std::unique_ptr<TempFolder> backups;
};

inline std::wstring Expand(const std::wstring& text) { return ExpandEnvironment(text); }

}  // namespace quor::test
