// The frame's keyboard focus order and the routing of the mouse wheel.
#include <algorithm>
#include <climits>

#include "toolkit/QuorDirectForm.h"

namespace quor {
namespace {

// Children in tab order: those with an order first, by it, then the rest as created.
std::vector<TQuorControlBase*> InTabOrder(const TQuorContainer& container) {
  std::vector<TQuorControlBase*> order;
  for (auto& child : container.Children()) order.push_back(child.get());
  std::stable_sort(order.begin(), order.end(), [](TQuorControlBase* a, TQuorControlBase* b) {
    const int ka = a->TabOrder() < 0 ? INT_MAX : a->TabOrder();
    const int kb = b->TabOrder() < 0 ? INT_MAX : b->TabOrder();
    return ka < kb;
  });
  return order;
}

void CollectFocusable(const TQuorContainer& container, std::vector<TQuorControlBase*>& out) {
  for (TQuorControlBase* c : InTabOrder(container)) {
    if (!c->Visible()) continue;
    if (c->CanTakeFocus()) out.push_back(c);
    if (TQuorContainer* inner = c->AsContainer()) CollectFocusable(*inner, out);
  }
}

}  // namespace

void TQuorDirectForm::FocusNext(bool backward) {
  std::vector<TQuorControlBase*> order;
  CollectFocusable(*this, order);
  if (order.empty()) return;
  const HWND focus = ::GetFocus();
  auto at = std::find_if(order.begin(), order.end(),
                         [focus](TQuorControlBase* c) { return c->WindowHandle() == focus; });
  const int n = int(order.size());
  int next = 0;
  if (at == order.end()) next = backward ? n - 1 : 0;
  else next = (int(at - order.begin()) + (backward ? n - 1 : 1)) % n;
  const bool cuesWereOff = !FKeyboardCues;
  FKeyboardCues = true;
  TQuorControlBase* target = order[size_t(next)];
  if (target->WindowHandle() == focus) {
    if (cuesWereOff) RedrawControl(*target);
    return;
  }
  ::SetFocus(target->WindowHandle());
}

void TQuorDirectForm::DispatchWheel(int delta, POINT screen) {
  if (!FHandle) return;
  POINT p = screen;
  ::ScreenToClient(FHandle, &p);
  for (TQuorControlBase* c = ControlAt(p); c;) {
    const RECT r = c->SurfaceRect();
    if (c->MouseWheel(delta, p.x - r.left, p.y - r.top)) return;
    c = c->ParentControl();
  }
}

}  // namespace quor
