#include <gtest/gtest.h>

#include <windows.h>

#include <stdexcept>
#include <vector>

#include "engine/HelperCommand.h"
#include "engine/LeftoverScan.h"
#include "engine/Removal.h"
#include "engine/UninstallHelper.h"
#include "inventory/Registry.h"
#include "support/MessagePump.h"
#include "support/TempFolder.h"
#include "support/TempRegistration.h"

namespace quor {
namespace {

using test::PumpUntil;

// An engine whose events all append their notification code to `codes`.
class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    engine = std::make_unique<TUninstallHelper>(nullptr);
    auto add = [this](int code) { codes.push_back(code); };
    engine->OnRefreshBegin = [=](auto&) { add(0); };
    engine->OnRefreshEnd = [=](auto&) { add(1); };
    engine->OnScanBegin = [=](auto&, auto*) { add(2); };
    engine->OnScanEnd = [this, add](auto& e, auto*) {
      add(3);
      stateAtScanEnd = e.State();
    };
    engine->OnUninstallBegin = [=](auto&, auto*, bool) { add(4); };
    engine->OnUninstallEnd = [=](auto&, auto*, bool) { add(5); };
    engine->OnModifyBegin = [=](auto&, auto*, bool) { add(7); };
    engine->OnModifyEnd = [=](auto&, auto*, bool) { add(8); };
    engine->OnRemoveBegin = [=](auto&) { add(11); };
    engine->OnRemoveEnd = [=](auto&) { add(12); };
  }

  std::shared_ptr<TUninstallObject> Record(const test::TempKey& reg, const std::wstring& uninstall) {
    TUninstallItem item;
    item.DisplayName = L"engine test";
    item.RootKey = reg.Root();
    item.KeyPath = reg.Path();
    item.UninstallString = uninstall;
    TSoftwareList holder;
    return holder.Items(holder.Add(-1, item));
  }

  bool Ended(int code) { return std::find(codes.begin(), codes.end(), code) != codes.end(); }
  LRESULT Notify(WPARAM code) {
    return ::SendMessageW(engine->MessageWindow(), EngineNotify, code, 0);
  }

  std::unique_ptr<TUninstallHelper> engine;
  std::vector<int> codes;
  TEngineState stateAtScanEnd = esIdle;
};

TEST_F(EngineTest, ThreadedForcedUninstallRaisesBeginScanEndInOrder) {
  test::TempRegistration reg(test::TLocation::UserNative);
  engine->Threaded = true;
  engine->Uninstall(Record(reg, L""), true);
  ASSERT_TRUE(PumpUntil([&] { return Ended(5); }));
  EXPECT_EQ(codes, (std::vector<int>{4, 2, 3, 5}));
  EXPECT_EQ(engine->State(), esIdle);
  EXPECT_FALSE(engine->Busy());
  EXPECT_TRUE(engine->Force());
}

TEST_F(EngineTest, SynchronousForcedUninstallRaisesNoUninstallEnd) {
  test::TempRegistration reg(test::TLocation::UserNative);
  engine->Uninstall(Record(reg, L""), true);
  EXPECT_EQ(codes, (std::vector<int>{4, 2, 3}));
  EXPECT_EQ(engine->State(), esIdle);
}

TEST_F(EngineTest, AnEmptyCommandStillEndsTheJob) {
  test::TempRegistration reg(test::TLocation::UserNative);
  engine->Threaded = true;
  engine->Uninstall(Record(reg, L"  \t "), false);
  ASSERT_TRUE(PumpUntil([&] { return Ended(5); }));
  engine->Modify(Record(reg, L""));
  ASSERT_TRUE(PumpUntil([&] { return Ended(8); }));
  EXPECT_EQ(codes, (std::vector<int>{4, 5, 7, 8}));
  EXPECT_EQ(engine->State(), esIdle);
}

TEST_F(EngineTest, UninstallWaitsForTheRelaunchedUninstaller) {
  test::TempRegistration reg(test::TLocation::UserNative);
  test::TempFolder folder;
  const std::wstring marker = folder / L"done";
  const auto program = Record(
      reg, L"  " + test::HelperCommand(L"--relaunch --sleep 1200 --delete-key \"HKEY_CURRENT_USER\\" +
                                       reg.Path() + L"\" --marker \"" + marker + L"\"") + L" ");
  engine->Threaded = true;
  bool markerAtEnd = false;
  engine->OnUninstallEnd = [&](auto&, auto*, bool force) {
    codes.push_back(5);
    markerAtEnd = test::PathExists(marker);
    EXPECT_FALSE(force);
  };
  engine->Uninstall(program, false);
  EXPECT_TRUE(PumpUntil([&] { return engine->State() == esWorking; }, 5000));
  ASSERT_TRUE(PumpUntil([&] { return Ended(5); }));
  EXPECT_TRUE(markerAtEnd);
  EXPECT_FALSE(KeyExists(reg.Root(), reg.Path()));
}

TEST_F(EngineTest, ThreadedRefreshFillsTheListBeforeItsEnd) {
  test::TempRegistration reg(test::TLocation::MachineNative);
  reg.SetString(L"DisplayName", L"Quor refresh");
  engine->Threaded = true;
  int32_t countAtEnd = 0;
  engine->OnRefreshEnd = [&](auto& e) {
    codes.push_back(1);
    countAtEnd = e.ProgramCount();
  };
  engine->Refresh();
  ASSERT_TRUE(PumpUntil([&] { return Ended(1); }));
  EXPECT_EQ(codes, (std::vector<int>{0, 1}));
  bool found = false;
  for (int32_t i = 0; i < engine->ProgramCount(); ++i) found |= engine->Programs(i)->KeyPath == reg.Path();
  EXPECT_TRUE(found);
  EXPECT_EQ(countAtEnd, engine->ProgramCount());
}

TEST_F(EngineTest, CancelOnlyDuringAScan) {
  struct Case {
    WPARAM begin;
    TEngineState state;
    bool cancels;
  } cases[] = {
      {kNotifyRefreshEnd, esIdle, false},  {kNotifyUninstallBegin, esWorking, false},
      {kNotifyRefreshBegin, esRefreshing, false}, {kNotifyModifyBegin, esModifying, false},
      {kNotifyRemoveBegin, esWorking, false}, {kNotifyScanBegin, esScanning, true},
  };
  for (const auto& c : cases) {
    test::TempRegistration reg(test::TLocation::UserNative);
    engine->Uninstall(Record(reg, L""), true);  // resets Cancelled
    Notify(c.begin);
    ASSERT_EQ(engine->State(), c.state);
    engine->Cancel();
    EXPECT_EQ(engine->Cancelled(), c.cancels) << c.begin;
  }
  Notify(kNotifyScanEnd);
  EXPECT_EQ(engine->State(), esScanCancelled);
  Notify(kNotifyUninstallEnd);
  EXPECT_EQ(engine->State(), esIdle);
}

TEST_F(EngineTest, CodesOutsideTheTableChangeNothing) {
  Notify(kNotifyScanBegin);
  codes.clear();
  for (WPARAM code : {WPARAM{6}, WPARAM{9}, WPARAM{13}, WPARAM{1000}}) {
    EXPECT_EQ(Notify(code), 0) << code;
    EXPECT_EQ(engine->State(), esScanning);
    EXPECT_TRUE(engine->Busy());
  }
  EXPECT_TRUE(codes.empty());
  EXPECT_EQ(Notify(kNotifyScanEnd), 1);
}

TEST_F(EngineTest, ASecondEngineReusesTheWindowClass) {
  TUninstallHelper second(nullptr);
  wchar_t name[32] = {};
  ::GetClassNameW(second.MessageWindow(), name, 32);
  EXPECT_STREQ(name, L"TDefrag");
  EXPECT_NE(second.MessageWindow(), engine->MessageWindow());
  ::SendMessageW(second.MessageWindow(), EngineNotify, kNotifyScanBegin, 0);
  EXPECT_EQ(second.State(), esScanning);
  EXPECT_EQ(engine->State(), esIdle);
}

TEST_F(EngineTest, DeleteEntryDuringAScanDeletesAtOnce) {
  test::TempRegistration reg(test::TLocation::UserNative);
  reg.CreateSubKey(L"child\\grandchild");
  const auto program = Record(reg, L"");
  Notify(kNotifyScanBegin);
  EXPECT_TRUE(engine->DeleteEntry(*program));
  EXPECT_FALSE(KeyExists(reg.Root(), reg.Path()));
  EXPECT_EQ(engine->State(), esScanning);
  EXPECT_FALSE(engine->DeleteEntry(*program));  // already gone
}

TEST_F(EngineTest, DestroyingTheEngineWaitsForItsWorker) {
  test::TempRegistration reg(test::TLocation::UserNative);
  test::TempFolder folder;
  const std::wstring marker = folder / L"late";
  engine->Threaded = true;
  engine->Uninstall(
      Record(reg, test::HelperCommand(L"--sleep 1500 --marker \"" + marker + L"\"")), false);
  // The worker is (or soon will be) blocked in its begin notification to
  // this thread, which is busy destroying the engine.
  const HWND window = engine->MessageWindow();
  engine.reset();
  EXPECT_TRUE(test::PathExists(marker));
  // The begin was handled while the engine was going: its event stays silent.
  EXPECT_TRUE(codes.empty());
  // The end that the worker posted finds no window and raises nothing.
  EXPECT_FALSE(::IsWindow(window));
  PumpUntil([] { return false; }, 100);
  EXPECT_TRUE(codes.empty());
}

// A job that throws still ends: otherwise the engine would stay busy and
// refuse every later command.
TEST_F(EngineTest, AnExceptionInAJobStillSendsItsEnd) {
  test::TempRegistration reg(test::TLocation::UserNative);
  reg.SetString(L"DisplayName", L"Quor throws");
  engine->Threaded = true;
  engine->SetOnProgress([](auto&) { throw std::runtime_error("scan step failed"); });
  engine->Uninstall(Record(reg, L""), true);
  ASSERT_TRUE(PumpUntil([&] { return Ended(5); }));
  EXPECT_EQ(codes, (std::vector<int>{4, 2, 3, 5}));
  EXPECT_EQ(engine->State(), esIdle);
  EXPECT_FALSE(engine->Busy());
}

}  // namespace
}  // namespace quor
