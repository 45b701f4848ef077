// The popup menu's windows driven with window messages: placement at the work area's edges,
// submenus, clicks, radio groups, shortcuts, the keyboard through the message loop, scrolling
// and activation.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <thread>

#include "GuiHelpers.h"
#include "MenuGallery.h"
#include "toolkit/QuorMessageLoop.h"
#include "toolkit/QuorSkin.h"

namespace quor {
namespace {

using test::Centre;
using test::Pump;
using test::WorkAreaOf;

// An owner window that counts the keys that reach it.
class TKeyHost : public THostWindow {
 public:
  TKeyHost()
      : THostWindow({.Caption = L"menu owner", .Left = 200, .Top = 150, .Width = 300, .Height = 200}) {}
  int Keys = 0;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM w, LPARAM l) override {
    if (msg == WM_KEYDOWN) ++Keys;
    return THostWindow::HandleMessage(msg, w, l);
  }
};

void ProcessFor(int milliseconds) {
  const DWORD end = ::GetTickCount() + DWORD(milliseconds);
  do {
    TMessageLoop::ProcessPending();
    ::Sleep(5);
  } while (int(end - ::GetTickCount()) > 0);
}

class PopupMenuGui : public ::testing::Test {
 protected:
  void SetUp() override {
    // The real pointer, where an earlier test's click left it, would hover a
    // menu that opens under it: it waits in the screen's far corner.
    ::SetCursorPos(::GetSystemMetrics(SM_CXSCREEN) - 1, ::GetSystemMetrics(SM_CYSCREEN) - 1);
    owner.Create();
    owner.Show(SW_SHOW);
    ::SetForegroundWindow(owner.Handle());
    Pump();
    menu = std::make_unique<TQuorPopupMenu>(SkinnedMenuProps(nullptr));
    menu->SetOwner(owner.Handle());
    menu->OnMenuClose = [this](TQuorPopupMenu&) { ++closes; };
    Add(nullptr, L"a", L"&Alpha");
    TQuorMenuItem& sub = Add(nullptr, L"sub", L"&Sub");
    Add(&sub, L"s1", L"Sub &one");
    TQuorMenuItem& s2 = Add(&sub, L"s2", L"Sub &two");
    Add(&s2, L"t1", L"Third");
    Add(nullptr, L"line", L"-");
    for (const wchar_t* name : {L"r1", L"r2"}) {
      TQuorMenuItem& radio = Add(nullptr, name, name);
      radio.RadioItem = radio.AutoCheck = true;
      radio.GroupIndex = 1;
      radio.Checked = name[1] == L'2';
    }
    Add(nullptr, L"k", L"Refresh").ShortCut = VK_F5;
  }
  void TearDown() override {
    menu.reset();
    Pump();
  }

  TQuorMenuItem& Add(TQuorMenuItem* parent, const wchar_t* name, const wchar_t* caption) {
    auto item = std::make_unique<TQuorMenuItem>(name, caption);
    item->OnClick = [this](TQuorMenuItem& i) { clicks.push_back(i.Name); };
    TQuorMenuItem& ref = *item;
    if (parent) parent->AddChild(std::move(item));
    else pending.push_back(std::move(item));
    return ref;
  }
  // Root items go to the menu once their children are in place, so their shortcuts register.
  void Register() {
    for (auto& item : pending) menu->AddMenuItem(std::move(item));
    pending.clear();
  }
  void PopupAt(int x, int y) {
    Register();
    menu->Popup(x, y);
    Pump();
  }
  TQuorMenuItem* Find(int level, const wchar_t* name) const {
    for (TQuorMenuItem* item : menu->Model().Level(level).Shown)
      if (item->Name == name) return item;
    return nullptr;
  }
  HWND LevelWindow(int level) const {
    TQuorMenuForm* form = menu->LevelForm(level);
    return form ? form->Handle() : nullptr;
  }
  bool LevelShown(int level) const {
    TQuorMenuForm* form = menu->LevelForm(level);
    return form && ::IsWindowVisible(form->Handle());
  }
  void Hover(int level, const wchar_t* name) {
    TQuorMenuItem* item = Find(level, name);
    ASSERT_NE(item, nullptr) << name;
    const POINT p = Centre(item->ItemRect);
    test::Mouse(LevelWindow(level), WM_MOUSEMOVE, p.x, p.y);
  }
  void ClickItem(int level, const wchar_t* name) {
    TQuorMenuItem* item = Find(level, name);
    ASSERT_NE(item, nullptr) << name;
    test::Click(LevelWindow(level), Centre(item->ItemRect));
  }
  void PostKey(UINT key) {
    ::PostMessageW(owner.Handle(), WM_KEYDOWN, key, 0);
    TMessageLoop::ProcessPending();
  }
  RECT Work() const { return WorkAreaOf(owner.Handle()); }

  TKeyHost owner;
  std::unique_ptr<TQuorPopupMenu> menu;
  std::vector<std::unique_ptr<TQuorMenuItem>> pending;
  std::vector<std::wstring> clicks;
  int closes = 0;
};

TEST_F(PopupMenuGui, OpensAtThePointOrLeftOfAndAboveItNearTheWorkAreaEdges) {
  Register();
  const RECT work = Work();
  struct Case {
    POINT at;
    bool left, above;
  };
  const Case cases[] = {{{work.left + 100, work.top + 100}, false, false},
                        {{work.right - 10, work.top + 100}, true, false},
                        {{work.left + 100, work.bottom - 10}, false, true}};
  for (const Case& c : cases) {
    menu->Popup(c.at.x, c.at.y);
    Pump();
    ASSERT_TRUE(LevelShown(0));
    RECT r{};
    ::GetWindowRect(LevelWindow(0), &r);
    const TMenuLevel& lv = menu->Model().Level(0);
    EXPECT_EQ(r.right - r.left, lv.Width);
    EXPECT_EQ(r.bottom - r.top, lv.Height);
    EXPECT_EQ(r.left, c.left ? c.at.x - lv.Width : c.at.x) << c.at.x;
    EXPECT_EQ(r.top, c.above ? work.bottom - lv.Height : c.at.y) << c.at.y;
    const LONG ex = ::GetWindowLongW(LevelWindow(0), GWL_EXSTYLE);
    EXPECT_EQ(ex & (WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_NOACTIVATE),
              WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_NOACTIVATE);
    menu->CloseMenu();
    EXPECT_FALSE(LevelShown(0));
  }
  EXPECT_EQ(closes, 3);
}

TEST_F(PopupMenuGui, ASubmenuOpensOnHoverAndClosesWhenTheHotItemChanges) {
  PopupAt(300, 200);
  Hover(0, L"sub");
  ASSERT_TRUE(LevelShown(1));
  RECT root{}, sub{};
  ::GetWindowRect(LevelWindow(0), &root);
  ::GetWindowRect(LevelWindow(1), &sub);
  EXPECT_EQ(sub.left, root.right - menu->Props().AlphaWidth);
  EXPECT_EQ(sub.top, root.top + Find(0, L"sub")->ItemRect.top);
  // The open item keeps its highlight on the root level's bitmap.
  const RECT subRow = Find(0, L"sub")->ItemRect;
  const TQuorMenuForm& level0 = *menu->LevelForm(0);
  const int x = subRow.left + 3, y = (subRow.top + subRow.bottom) / 2;
  EXPECT_NE(0, std::memcmp(level0.Surface.Pixel(x, y), level0.Back.Pixel(x, y), 4));

  Hover(0, L"a");
  EXPECT_FALSE(LevelShown(1));
  EXPECT_EQ(menu->Model().LevelCount(), 1);
  EXPECT_EQ(0, std::memcmp(level0.Surface.Pixel(x, y), level0.Back.Pixel(x, y), 4));
}

TEST_F(PopupMenuGui, AClickFiresOnceAndClosesEveryLevel) {
  PopupAt(300, 200);
  Hover(0, L"sub");
  Hover(1, L"s2");
  ASSERT_TRUE(LevelShown(2));
  const HWND windows[] = {LevelWindow(0), LevelWindow(1), LevelWindow(2)};
  ClickItem(2, L"t1");
  EXPECT_EQ(clicks, std::vector<std::wstring>{L"t1"});
  EXPECT_FALSE(menu->Showing());
  for (HWND h : windows) EXPECT_FALSE(::IsWindowVisible(h));
  EXPECT_EQ(closes, 1);
}

TEST_F(PopupMenuGui, RadioItemsWithAutoCheckTakeTheGroupAndToggleOff) {
  Register();
  TQuorMenuItem* r1 = menu->Items(3);
  TQuorMenuItem* r2 = menu->Items(4);
  ASSERT_EQ(r1->Name, L"r1");
  menu->Popup(300, 200);
  ClickItem(0, L"r1");
  EXPECT_TRUE(r1->Checked);
  EXPECT_FALSE(r2->Checked);
  // With AutoCheck a checked radio item toggles off when clicked again.
  menu->Popup(300, 200);
  ClickItem(0, L"r1");
  EXPECT_FALSE(r1->Checked);
  EXPECT_FALSE(r2->Checked);
  EXPECT_EQ(clicks, (std::vector<std::wstring>{L"r1", L"r1"}));
}

TEST_F(PopupMenuGui, AShortCutFiresWhileTheMenuIsClosedAndTheKeyGoesNoFurther) {
  Register();
  PostKey(VK_F5);
  EXPECT_EQ(clicks, std::vector<std::wstring>{L"k"});
  EXPECT_EQ(owner.Keys, 0);
  // A disabled item's shortcut does nothing; the key reaches the window.
  menu->Items(5)->Enabled = false;
  PostKey(VK_F5);
  EXPECT_EQ(clicks.size(), 1u);
  EXPECT_EQ(owner.Keys, 1);
  // After ClearItems no shortcut is left.
  menu->ClearItems();
  PostKey(VK_F5);
  EXPECT_EQ(owner.Keys, 2);
}

TEST_F(PopupMenuGui, OnBeforPopupCanCancelTheOpening) {
  Register();
  int popups = 0;
  menu->OnPopup = [&](TQuorPopupMenu&) { ++popups; };
  menu->OnBeforPopup = [](TQuorPopupMenu&, bool& canShow) { canShow = false; };
  menu->Popup(300, 200);
  Pump();
  EXPECT_FALSE(menu->Showing());
  EXPECT_EQ(menu->LevelForm(0), nullptr);
  EXPECT_EQ(popups, 0);
  menu->OnBeforPopup = nullptr;
  menu->Popup(300, 200);
  EXPECT_TRUE(LevelShown(0));
  EXPECT_EQ(popups, 1);
}

TEST_F(PopupMenuGui, TheKeyboardWorksThroughTheMessageLoopWhileTheMenuIsOpen) {
  PopupAt(300, 200);
  PostKey(VK_DOWN);
  EXPECT_EQ(menu->Model().HotItem()->Name, L"a");
  PostKey(VK_DOWN);
  EXPECT_EQ(menu->Model().HotItem()->Name, L"sub");
  PostKey(VK_RIGHT);
  EXPECT_TRUE(LevelShown(1));
  EXPECT_EQ(menu->Model().HotItem()->Name, L"s1");
  PostKey(VK_ESCAPE);
  EXPECT_FALSE(LevelShown(1));
  EXPECT_TRUE(LevelShown(0));
  PostKey(VK_UP);
  PostKey(VK_RETURN);
  EXPECT_EQ(clicks, std::vector<std::wstring>{L"a"});
  EXPECT_FALSE(LevelShown(0));
  EXPECT_EQ(owner.Keys, 0);  // every key went to the menu
  // Once closed, the keys go to the window again; Escape on the root closes the menu.
  PostKey(VK_DOWN);
  EXPECT_EQ(owner.Keys, 1);
  menu->Popup(300, 200);
  PostKey(VK_ESCAPE);
  EXPECT_FALSE(menu->Showing());
  EXPECT_EQ(closes, 2);
}

TEST_F(PopupMenuGui, APressOutsideTheMenuClosesIt) {
  PopupAt(300, 200);
  Hover(0, L"sub");
  // A press on the submenu's window belongs to the menu.
  ::PostMessageW(LevelWindow(1), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
  TMessageLoop::ProcessPending();
  EXPECT_TRUE(menu->Showing());
  ::PostMessageW(owner.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  TMessageLoop::ProcessPending();
  EXPECT_FALSE(menu->Showing());
  EXPECT_EQ(closes, 1);
  EXPECT_TRUE(clicks.empty());
}

TEST_F(PopupMenuGui, ATallMenuScrollsWithItsButtonsAutoRepeatAndTheWheel) {
  for (int i = 0; i < 80; ++i) Add(nullptr, L"long", L"Long item");
  PopupAt(300, 200);
  const TMenuLevel& lv = menu->Model().Level(0);
  ASSERT_TRUE(lv.Scrolling);
  const RECT work = Work();
  EXPECT_LE(lv.Height, work.bottom - work.top);
  EXPECT_LT(int(lv.Shown.size()), lv.Count());
  const POINT down = Centre(lv.DownButton);
  test::Mouse(LevelWindow(0), WM_MOUSEMOVE, down.x, down.y);
  test::Mouse(LevelWindow(0), WM_LBUTTONDOWN, down.x, down.y, MK_LBUTTON);
  EXPECT_EQ(lv.ScrollPos, 1);  // one item at once
  ProcessFor(KeyRepeatDelay() + 6 * KeyRepeatInterval());
  const int repeated = lv.ScrollPos;
  EXPECT_GT(repeated, 2);
  test::Mouse(LevelWindow(0), WM_LBUTTONUP, down.x, down.y);
  ProcessFor(4 * KeyRepeatInterval());
  EXPECT_EQ(lv.ScrollPos, repeated);  // released: the repeat stops
  // The wheel reaches the focus window, not the menu: the filter takes it on the way.
  POINT screen = Centre(lv.UpButton);
  ::ClientToScreen(LevelWindow(0), &screen);
  ::PostMessageW(owner.Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(WHEEL_DELTA)),
                 MAKELPARAM(screen.x, screen.y));
  TMessageLoop::ProcessPending();
  EXPECT_EQ(lv.ScrollPos, repeated - 1);
}

TEST_F(PopupMenuGui, TheMenuNeverTakesActivationAndARealClickStillWorks) {
  PopupAt(300, 200);
  ASSERT_EQ(::GetActiveWindow(), owner.Handle());
  const RECT row = Find(0, L"a")->ItemRect;
  POINT p = Centre(row);
  ::ClientToScreen(LevelWindow(0), &p);
  ::SetCursorPos(p.x, p.y);
  ProcessFor(50);
  INPUT input[2]{};
  input[0].type = input[1].type = INPUT_MOUSE;
  input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ::SendInput(2, input, sizeof(INPUT));
  ProcessFor(150);
  EXPECT_EQ(clicks, std::vector<std::wstring>{L"a"});
  EXPECT_EQ(::GetActiveWindow(), owner.Handle());
  EXPECT_EQ(::GetForegroundWindow(), owner.Handle());
}

TEST_F(PopupMenuGui, AnotherApplicationBecomingActiveClosesTheMenu) {
  PopupAt(300, 200);
  // A window of another thread counts as another application.
  std::thread other([] {
    THostWindow window({.Caption = L"other", .Left = 0, .Top = 0, .Width = 100, .Height = 100});
    window.Create();
    window.Show(SW_SHOW);
    ::SetForegroundWindow(window.Handle());
    const DWORD end = ::GetTickCount() + 300;
    MSG msg;
    while (int(end - ::GetTickCount()) > 0) {
      while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
      ::Sleep(5);
    }
  });
  const DWORD end = ::GetTickCount() + 400;
  while (menu->Showing() && int(end - ::GetTickCount()) > 0) {
    TMessageLoop::ProcessPending();
    ::Sleep(5);
  }
  other.join();
  EXPECT_FALSE(menu->Showing());
  EXPECT_EQ(closes, 1);
}

TEST_F(PopupMenuGui, TheFramesMenuButtonPopsTheMenuAtItsBottomLeftCorner) {
  Register();
  THostWindow host({.Caption = L"framed", .Left = 100, .Top = 100, .Width = 300, .Height = 200});
  TQuorFormProps props;
  props.ImgForm = CreateColorImage(300, 200, 0xEEEEEE, 255);
  props.ImgBtnMenu = SkinImage(L"btn_menu");
  props.ImgBtnClose = SkinImage(L"btn_close");
  props.FormBtns = {TQuorFormBtn::QbiMenu};
  props.BtnPopuMenu = menu.get();
  TQuorDirectForm form(host, props);
  form.Load();
  host.Show(SW_SHOWNOACTIVATE);
  int fired = 0;
  form.OnBtnMenuClick = [&](TQuorControlBase& sender) {
    ++fired;
    EXPECT_EQ(sender.Name(), L"BtnMenu");
    EXPECT_FALSE(menu->Showing());  // the event comes first
  };
  TWDFButton* button = form.CaptionButton(L"BtnMenu");
  ASSERT_NE(button, nullptr);
  const RECT r = button->SurfaceRect();
  test::Click(form.Handle(), Centre(r));
  Pump();
  EXPECT_EQ(fired, 1);
  ASSERT_TRUE(LevelShown(0));
  POINT corner{r.left, r.bottom};
  ::ClientToScreen(form.Handle(), &corner);
  RECT shown{};
  ::GetWindowRect(LevelWindow(0), &shown);
  EXPECT_EQ(shown.left, corner.x);
  EXPECT_EQ(shown.top, corner.y);
  menu->CloseMenu();
}

}  // namespace
}  // namespace quor
