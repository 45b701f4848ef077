#include "engine/ProgramJson.h"

#include "base/Text.h"
#include "inventory/Registry.h"

namespace quor {

nlohmann::ordered_json ProgramToJson(const TUninstallObject& p) {
  nlohmann::ordered_json j;
  j["index"] = p.Index;
  j["root"] = ToUtf8(RootKeyName(p.RootKey));
  j["keyPath"] = ToUtf8(p.KeyPath);
  j["displayName"] = ToUtf8(p.DisplayName);
  j["publisher"] = ToUtf8(p.Publisher);
  j["displayVersion"] = ToUtf8(p.DisplayVersion);
  j["displayIcon"] = ToUtf8(p.DisplayIcon);
  j["installLocation"] = ToUtf8(p.InstallLocation);
  j["folderName"] = ToUtf8(p.FolderName);
  j["uninstallString"] = ToUtf8(p.UninstallString);
  j["modifyPath"] = ToUtf8(p.ModifyPath);
  j["helpLink"] = ToUtf8(p.HelpLink);
  j["productGuid"] = ToUtf8(p.ProductGuid);
  j["sizeKiB"] = p.Size.load();
  j["installDate"] = ToUtf8(p.InstallDate.ToIsoText());
  return j;
}

}  // namespace quor
