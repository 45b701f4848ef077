#include "app/RunOnce.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "support/ChildProcess.h"
#include "support/MessagePump.h"
#include "support/TestNames.h"

namespace quor {
namespace {

// Windows as numbers: which exist, and which were brought forward.
class FakeWindows : public TInstanceWindows {
 public:
  std::vector<HWND> Alive;
  std::vector<HWND> BroughtForward;
  bool Exists(HWND window) override { return std::find(Alive.begin(), Alive.end(), window) != Alive.end(); }
  void BringForward(HWND window) override { BroughtForward.push_back(window); }
};

HWND Fake(uintptr_t n) { return reinterpret_cast<HWND>(n); }

struct SlotCase {
  const char* Name;
  HWND InSlot;
  bool InSlotAlive;
  bool Expected;  // another instance was brought forward
  HWND SlotAfter;
};

TEST(RunOnceTest, SecondStartBringsTheFirstForward) {
  const HWND own = Fake(0x2002);
  const SlotCase cases[] = {
      {"empty slot: first instance", nullptr, false, false, own},
      {"running first instance", Fake(0x1001), true, true, Fake(0x1001)},
      {"first instance has ended", Fake(0x1001), false, false, own},
      {"own window already registered", own, true, false, own},
  };
  for (const SlotCase& c : cases) {
    SCOPED_TRACE(c.Name);
    auto slot = TInstanceSlot::Open(test::UniqueName(L"QuorSlot").c_str());
    ASSERT_NE(slot, nullptr);
    EXPECT_EQ(slot->Stored(), nullptr);  // a new section holds 0
    slot->Store(c.InSlot);
    FakeWindows windows;
    if (c.InSlotAlive) windows.Alive.push_back(c.InSlot);
    EXPECT_EQ(slot->CheckPreviousInstance(own, windows), c.Expected);
    EXPECT_EQ(slot->Stored(), c.SlotAfter);
    EXPECT_EQ(windows.BroughtForward, c.Expected ? std::vector<HWND>{c.InSlot} : std::vector<HWND>{});
  }
}

TEST(RunOnceTest, SlotIsSharedWhileOpenAndFreshAfterTheLastClose) {
  const std::wstring name = test::UniqueName(L"QuorSlot");
  auto first = TInstanceSlot::Open(name.c_str());
  ASSERT_NE(first, nullptr);
  FakeWindows windows;
  EXPECT_FALSE(first->CheckPreviousInstance(Fake(0x1001), windows));
  {
    auto second = TInstanceSlot::Open(name.c_str());
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->Stored(), Fake(0x1001));
  }
  first.reset();
  auto later = TInstanceSlot::Open(name.c_str());
  ASSERT_NE(later, nullptr);
  EXPECT_EQ(later->Stored(), nullptr);
}

TEST(RunOnceTest, UnavailableSlotLeavesTheProgramUnguarded) {
  // A backslash outside the Local\ and Global\ prefixes names no section.
  EXPECT_EQ(TInstanceSlot::Open(L"Quor\\No\\Such\\Namespace"), nullptr);
}

// A top-level window of this test process as a first instance's window.
class InstanceWindow {
 public:
  explicit InstanceWindow(HWND owner = nullptr, DWORD style = WS_OVERLAPPEDWINDOW) {
    static const ATOM cls = [] {
      WNDCLASSW wc{};
      wc.lpfnWndProc = ::DefWindowProcW;
      wc.hInstance = ::GetModuleHandleW(nullptr);
      wc.lpszClassName = L"QuorRunOnceTestWindow";
      return ::RegisterClassW(&wc);
    }();
    hwnd_ = ::CreateWindowExW(0, MAKEINTATOM(cls), L"first", style, 10, 10, 300, 200, owner, nullptr,
                              ::GetModuleHandleW(nullptr), nullptr);
  }
  ~InstanceWindow() {
    if (::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
  }
  InstanceWindow(const InstanceWindow&) = delete;
  InstanceWindow& operator=(const InstanceWindow&) = delete;
  HWND Get() const { return hwnd_; }

 private:
  HWND hwnd_ = nullptr;
};

// Starts the helper as a second instance against the slot and handles this
// thread's messages (the restore command is sent to our window) until it ends.
DWORD RunSecondInstance(const std::wstring& slotName) {
  std::wstring cmd = L"\"" + test::ExeFolder() + L"\\quor_test_helper.exe\" --second-instance " + slotName;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!::CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return 99;
  UniqueKernelHandle process(pi.hProcess), thread(pi.hThread);
  test::PumpUntil([&] { return ::WaitForSingleObject(process.Get(), 0) == WAIT_OBJECT_0; });
  DWORD code = 98;
  ::GetExitCodeProcess(process.Get(), &code);
  return code;
}

class RunOnceProcessTest : public testing::Test {
 protected:
  std::wstring name = test::UniqueName(L"QuorSlot");
  std::unique_ptr<TInstanceSlot> slot = TInstanceSlot::Open(name.c_str());
  InstanceWindow main;

  void Register() {
    ASSERT_NE(slot, nullptr);
    ASSERT_NE(main.Get(), nullptr);
    TSystemInstanceWindows windows;
    ASSERT_FALSE(slot->CheckPreviousInstance(main.Get(), windows));
  }
};

TEST_F(RunOnceProcessTest, SecondInstanceRestoresAMinimisedFirst) {
  Register();
  ::ShowWindow(main.Get(), SW_SHOWMINIMIZED);
  ASSERT_TRUE(::IsIconic(main.Get()));
  EXPECT_EQ(RunSecondInstance(name), 1u);
  EXPECT_FALSE(::IsIconic(main.Get()));
  EXPECT_TRUE(::IsWindowVisible(main.Get()));
}

TEST_F(RunOnceProcessTest, SecondInstanceBringsAnOpenDialogForward) {
  Register();
  ::ShowWindow(main.Get(), SW_SHOW);
  InstanceWindow dialog(main.Get(), WS_POPUP | WS_CAPTION);
  ASSERT_NE(dialog.Get(), nullptr);
  // As a modal dialog: its owner disabled, the dialog the last active pop-up.
  ::ShowWindow(dialog.Get(), SW_SHOW);
  ::SetActiveWindow(dialog.Get());
  ::EnableWindow(main.Get(), FALSE);
  ::ShowWindow(dialog.Get(), SW_HIDE);
  test::PumpUntil([] { return false; }, 100);
  ASSERT_EQ(::GetLastActivePopup(main.Get()), dialog.Get());
  EXPECT_EQ(RunSecondInstance(name), 1u);
  EXPECT_TRUE(::IsWindowVisible(dialog.Get()));
  EXPECT_EQ(::GetForegroundWindow(), dialog.Get());
}

TEST_F(RunOnceProcessTest, EndedFirstInstanceDoesNotBlockANewStart) {
  Register();
  ::DestroyWindow(main.Get());
  EXPECT_EQ(RunSecondInstance(name), 0u);
  EXPECT_EQ(slot->Stored(), nullptr);  // the helper registered itself: it has no window
}

}  // namespace
}  // namespace quor
