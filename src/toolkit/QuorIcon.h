#pragma once
// Icons of other programs as skin images: the list shows them beside the rows.

#include <windows.h>

#include <optional>
#include <string>

#include "toolkit/PngImage.h"

namespace quor {

// The icon's colour and alpha as a straight-alpha image. Icons without an
// alpha channel (the older formats) take their transparency from the mask.
std::optional<TPngImage> ImageFromIcon(HICON icon);

// The small icon number `index` of a file (an executable, a library or an
// icon file), or nothing when the file has none.
std::optional<TPngImage> SmallIconOfFile(const std::wstring& file, int index);

}  // namespace quor
