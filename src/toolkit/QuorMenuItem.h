#pragma once
// A popup-menu item with its owned submenu, and the shortcut and access-letter
// helpers that menus share. Free of windows so that menu rules can be tested directly.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quor {

// A virtual-key code in the low byte plus modifier bits; 0 means no shortcut.
using TShortCut = uint16_t;
inline constexpr TShortCut scNone = 0;
inline constexpr TShortCut scShift = 0x2000;
inline constexpr TShortCut scCtrl = 0x4000;
inline constexpr TShortCut scAlt = 0x8000;

constexpr TShortCut MakeShortCut(uint8_t key, bool shift, bool ctrl, bool alt) {
  return TShortCut(key | (shift ? scShift : 0) | (ctrl ? scCtrl : 0) | (alt ? scAlt : 0));
}
// "Ctrl+Shift+F1" style text; empty for scNone or an unnamed key.
std::wstring ShortCutToText(TShortCut shortCut);

// The letter after a single '&' of a caption, upper-cased; 0 when there is none ("&&" is a
// literal ampersand).
wchar_t AccessChar(const std::wstring& caption);

class TQuorMenuItem {
 public:
  using TItems = std::vector<std::unique_ptr<TQuorMenuItem>>;

  TQuorMenuItem() = default;
  TQuorMenuItem(std::wstring name, std::wstring caption)
      : Name(std::move(name)), Caption(std::move(caption)) {}
  TQuorMenuItem(const TQuorMenuItem&) = delete;
  TQuorMenuItem& operator=(const TQuorMenuItem&) = delete;

  std::wstring Name;
  std::wstring Caption;  // "-" makes the item a separator
  std::wstring Data;     // kept for the application (a language file name, for example)
  int GroupIndex = 0;    // -1: no radio group
  bool Enabled = true;
  bool Visible = true;
  bool AutoCheck = false;
  bool Checked = false;
  bool Highlighted = false;
  bool RadioItem = false;
  int ImageIndex = -1;
  TShortCut ShortCut = scNone;
  int Height = -1;  // -1: the menu's item height
  std::function<void(TQuorMenuItem&)> OnClick;

  // Filled by the menu when the item's level is measured and laid out.
  RECT ItemRect{};  // level coordinates; empty while not laid out
  SIZE CaptionSize{-1, -1};
  SIZE ShortCutSize{-1, -1};

  TQuorMenuItem* Parent() const { return FParent; }
  const TItems& Children() const { return FChildren; }
  int Count() const { return int(FChildren.size()); }
  TQuorMenuItem* Child(int index) const;
  bool HasChildren() const { return !FChildren.empty(); }
  // Sets the parent and appends; returns the added item.
  TQuorMenuItem& AddChild(std::unique_ptr<TQuorMenuItem> item);
  // Frees the submenu; a menu that shows it must be closed first.
  void ClearChildren() { FChildren.clear(); }

  bool IsSeparator() const { return Caption == L"-"; }
  // Can be hot, pressed or clicked.
  bool Selectable() const { return Visible && Enabled && !IsSeparator(); }

 private:
  friend class TQuorMenuModel;
  TQuorMenuItem* FParent = nullptr;
  TItems FChildren;
  bool FShortCutRegistered = false;
};

// Calls the item's OnClick through a copy, so a handler that rebuilds the menu does not
// destroy the function it runs in.
void FireClick(TQuorMenuItem& item);

}  // namespace quor
