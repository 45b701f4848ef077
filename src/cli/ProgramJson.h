#pragma once
// The JSON form of a program record, shared by every command that prints one.

#include "engine/ProgramJson.h"

namespace quor::cli {

using ::quor::ProgramToJson;

}  // namespace quor::cli
