#pragma once
// Deletion of leftovers and registrations. Each deletion is tried once; what
// cannot be deleted stays, and nothing is reported.

#include <windows.h>

#include <string>

#include "inventory/UninstallObject.h"

namespace quor {

class TUninstallHelper;

void RemoveItems(TUninstallHelper& engine, TUninstallObject& program);

bool KeyExists(HKEY root, const std::wstring& path);
// Deletes a key with everything below it.
bool DeleteRegKey(HKEY root, const std::wstring& path);
bool DeleteRegValue(HKEY root, const std::wstring& path, const std::wstring& name);

}  // namespace quor
