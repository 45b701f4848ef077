#include "toolkit/QuorMenuItem.h"

#include <cwctype>
#include <utility>

namespace quor {
namespace {

std::wstring KeyName(uint8_t key) {
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
    return std::wstring(1, wchar_t(key));
  if (key >= VK_F1 && key <= VK_F24) return L"F" + std::to_wstring(key - VK_F1 + 1);
  switch (key) {
    case VK_BACK:
      return L"BkSp";
    case VK_TAB:
      return L"Tab";
    case VK_RETURN:
      return L"Enter";
    case VK_ESCAPE:
      return L"Esc";
    case VK_SPACE:
      return L"Space";
    case VK_PRIOR:
      return L"PgUp";
    case VK_NEXT:
      return L"PgDn";
    case VK_END:
      return L"End";
    case VK_HOME:
      return L"Home";
    case VK_LEFT:
      return L"Left";
    case VK_UP:
      return L"Up";
    case VK_RIGHT:
      return L"Right";
    case VK_DOWN:
      return L"Down";
    case VK_INSERT:
      return L"Ins";
    case VK_DELETE:
      return L"Del";
    default:
      return L"";
  }
}

}  // namespace

std::wstring ShortCutToText(TShortCut shortCut) {
  std::wstring name = KeyName(uint8_t(shortCut & 0xFF));
  if (name.empty()) return name;
  std::wstring text;
  if (shortCut & scShift) text += L"Shift+";
  if (shortCut & scCtrl) text += L"Ctrl+";
  if (shortCut & scAlt) text += L"Alt+";
  return text + name;
}

wchar_t AccessChar(const std::wstring& caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != L'&') continue;
    if (caption[i + 1] == L'&') {
      ++i;  // a literal ampersand
      continue;
    }
    return wchar_t(std::towupper(caption[i + 1]));
  }
  return 0;
}

TQuorMenuItem* TQuorMenuItem::Child(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return FChildren[size_t(index)].get();
}

TQuorMenuItem& TQuorMenuItem::AddChild(std::unique_ptr<TQuorMenuItem> item) {
  item->FParent = this;
  FChildren.push_back(std::move(item));
  return *FChildren.back();
}

void FireClick(TQuorMenuItem& item) {
  auto handler = item.OnClick;
  if (handler) handler(item);
}

}  // namespace quor
