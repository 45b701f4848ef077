#pragma once
// The JSON form of a program record: what `quor list --json` prints for each
// program, and what a backup set records about the program it came from.

#include <nlohmann/json.hpp>

#include "inventory/UninstallObject.h"

namespace quor {

nlohmann::ordered_json ProgramToJson(const TUninstallObject& program);

}  // namespace quor
