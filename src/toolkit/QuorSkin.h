#pragma once
// The skin images embedded in the executable (resources/skin/skin.rc).

#include <string>

#include "toolkit/PngImage.h"

namespace quor {

// The image "SKIN_<NAME>" of the running executable; empty when it is missing.
TPngImage SkinImage(const std::wstring& name);

}  // namespace quor
