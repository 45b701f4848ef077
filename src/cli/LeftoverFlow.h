#pragma once
// Scan, review on the console, and removal of one program's leftovers.

#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "engine/UninstallHelper.h"

namespace quor::cli {

struct TLeftoverOutcome {
  bool Removed = false;   // the removal ran
  bool Declined = false;  // the user answered no
  int Remaining = 0;      // items still present afterwards (kept ones not counted)
};

// Marks as kept every item whose path is one of `keep` or lies below one.
void MarkKept(TUninstallObject& program, const std::vector<std::wstring>& keep);

TLeftoverOutcome ScanAndRemove(TUninstallHelper& engine,
                               const std::shared_ptr<TUninstallObject>& program, bool yes,
                               const std::vector<std::wstring>& keep, bool print);

const char* KindName(uint8_t kind);
nlohmann::ordered_json LeftoversToJson(const TUninstallObject& program);
void PrintLeftovers(const TUninstallObject& program);

}  // namespace quor::cli
