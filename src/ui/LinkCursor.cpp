#include "ui/LinkCursor.h"

namespace quor {

bool ShowHandOverLinks(const TQuorDirectForm& form,
                       std::initializer_list<const TQuorControlBase*> links) {
  POINT p{};
  if (!form.Handle() || !::GetCursorPos(&p) || !::ScreenToClient(form.Handle(), &p)) return false;
  for (const TQuorControlBase* link : links) {
    if (!link || !link->Showing() || !link->Visible()) continue;
    const RECT r = link->SurfaceRect();
    if (::PtInRect(&r, p)) {
      ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
      return true;
    }
  }
  return false;
}

}  // namespace quor
