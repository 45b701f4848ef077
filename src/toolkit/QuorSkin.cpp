#include "toolkit/QuorSkin.h"

#include "base/Text.h"

namespace quor {

TPngImage SkinImage(const std::wstring& name) {
  std::wstring resource = L"SKIN_" + name;
  for (auto& c : resource)
    if (c >= L'a' && c <= L'z') c = wchar_t(c - L'a' + L'A');
  auto image = TPngImage::FromResource(nullptr, resource);
  return image ? std::move(*image) : TPngImage();
}

}  // namespace quor
