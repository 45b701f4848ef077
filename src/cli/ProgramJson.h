#pragma once
// The JSON form of a program record, shared by every command that prints one.

#include <nlohmann/json.hpp>

#include "inventory/UninstallObject.h"

namespace quor::cli {

nlohmann::ordered_json ProgramToJson(const TUninstallObject& program);

}  // namespace quor::cli
