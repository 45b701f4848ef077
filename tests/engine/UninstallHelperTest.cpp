#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

#include "engine/HelperCommand.h"
#include "engine/LeftoverRules.h"
#include "engine/LeftoverScan.h"
#include "engine/Removal.h"
#include "engine/UninstallHelper.h"
#include "inventory/EnvironmentStrings.h"
#include "inventory/Registry.h"
#include "support/ChildProcess.h"
#include "support/MessagePump.h"
#include "support/TempFolder.h"
#include "support/TempRegistration.h"

namespace quor {
namespace {

using test::PumpUntil;

constexpr const wchar_t* kHelperExe = L"quor_test_helper.exe";

// Handles only the messages sent to this thread (as a thread blocked in a
// wait does) until `done` answers true; posted ones stay queued.
bool ServeSentUntil(const std::function<bool()>& done) {
  const ULONGLONG end = ::GetTickCount64() + 30000;
  while (!done() && ::GetTickCount64() < end) {
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_SENDMESSAGE);
    MSG msg;
    ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
  return done();
}

// The path-variable table and the rule lists, for a scan that takes steps.
struct TRuleLists {
  TRuleLists() {
    InitEnvironmentStrings();
    LoadRuleLists();
  }
  ~TRuleLists() {
    FreeRuleLists();
    DoneEnvironmentStrings();
  }
};

// An engine whose events all append their notification code to `codes`.
class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    engine = std::make_unique<TUninstallHelper>();
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

  // A threaded refresh, waited for.
  void RefreshAndWait() {
    codes.clear();
    engine->Refresh();
    ASSERT_TRUE(PumpUntil([&] { return Ended(1); }));
  }
  std::shared_ptr<TUninstallObject> Listed(const test::TempKey& reg) const {
    for (int32_t i = 0; i < engine->ProgramCount(); ++i) {
      if (engine->Programs(i)->KeyPath == reg.Path()) return engine->Programs(i);
    }
    return nullptr;
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
  EXPECT_EQ(engine->CommandError(), L"no command is registered");
  EXPECT_TRUE(PumpUntil([&] { return !engine->JobRunning(); }));
}

// A command that is not run is a failure the end event can tell: the
// reason is there when the end is raised, and gone after a command that ran.
TEST_F(EngineTest, TheJobsEndTellsWhyItsCommandWasNotRun) {
  test::TempRegistration reg(test::TLocation::UserNative);
  engine->Threaded = true;
  std::vector<std::wstring> errors;
  engine->OnUninstallEnd = [&](auto& e, auto*, bool) {
    codes.push_back(5);
    errors.push_back(e.CommandError());
  };
  engine->OnModifyEnd = [&](auto& e, auto*, bool) {
    codes.push_back(8);
    errors.push_back(e.CommandError());
  };
  engine->Uninstall(Record(reg, L"C:\\nowhere\\no such\\uninst.exe /S"), false);
  ASSERT_TRUE(PumpUntil([&] { return Ended(5); }));
  auto modify = Record(reg, L"");
  modify->ModifyPath = L"MsiExec.exe /X{12345678} /qn";
  engine->Modify(modify);
  ASSERT_TRUE(PumpUntil([&] { return Ended(8); }));
  codes.clear();
  engine->Uninstall(Record(reg, test::HelperCommand(L"--exit 0")), false);
  ASSERT_TRUE(PumpUntil([&] { return Ended(5); }));
  ASSERT_EQ(errors.size(), 3u);
  EXPECT_NE(errors[0].find(L"does not exist"), std::wstring::npos);
  EXPECT_NE(errors[1].find(L"product code"), std::wstring::npos);
  EXPECT_EQ(errors[2], L"");
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
  TUninstallHelper second;
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
  test::TempFolder backups(L"QuorBackups");
  engine->Backup.Folder = backups.Path();
  Notify(kNotifyScanBegin);
  EXPECT_TRUE(engine->DeleteEntry(*program).Deleted);
  EXPECT_FALSE(KeyExists(reg.Root(), reg.Path()));
  EXPECT_EQ(engine->State(), esScanning);
  EXPECT_FALSE(engine->DeleteEntry(*program).Deleted);  // already gone
}

// The dispatcher looks the record up by its serial among the records of
// that moment; during a refresh the list is being rewritten and not read.
TEST_F(EngineTest, SizeReadyIsRaisedOnlyForARecordOfTheCurrentList) {
  test::TempRegistration reg(test::TLocation::UserNative);
  reg.SetString(L"DisplayName", L"Quor sized");
  engine->Threaded = true;
  std::vector<TUninstallObject*> ready;
  engine->OnSizeReady = [&](auto&, TUninstallObject* record) { ready.push_back(record); };
  RefreshAndWait();
  const auto replaced = Listed(reg);
  RefreshAndWait();
  const auto current = Listed(reg);
  ASSERT_TRUE(replaced && current);
  ASSERT_NE(replaced, current);
  struct Case {
    const char* what;
    uint64_t serial;
    bool refreshing;
    LRESULT result;
    TUninstallObject* raised;
  } cases[] = {
      {"a record that a refresh replaced", replaced->Serial, false, 0, nullptr},
      {"no record", 0, false, 0, nullptr},
      {"a current record while a refresh runs", current->Serial, true, 0, nullptr},
      {"a current record", current->Serial, false, 1, current.get()},
  };
  for (const auto& c : cases) {
    ready.clear();
    if (c.refreshing) Notify(kNotifyRefreshBegin);
    EXPECT_EQ(::SendMessageW(engine->MessageWindow(), EngineNotify, kNotifySizeReady,
                             static_cast<LPARAM>(c.serial)),
              c.result)
        << c.what;
    if (c.refreshing) Notify(kNotifyRefreshEnd);
    const std::vector<TUninstallObject*> expected =
        c.raised ? std::vector<TUninstallObject*>{c.raised} : std::vector<TUninstallObject*>{};
    EXPECT_EQ(ready, expected) << c.what;
  }
}

// The record's size is measured while a refresh replaces it: its size never
// reaches the window (whose rows would be looked up by a stale index); the
// new record's does, on this thread, as a record at its own index.
TEST_F(EngineTest, ASizeMeasuredAcrossARefreshReachesOnlyTheNewRecord) {
  test::TempFolder folder;
  for (int i = 0; i < 300; ++i) {
    folder.MakeFile(L"d" + std::to_wstring(i % 10) + L"\\f" + std::to_wstring(i),
                    std::string(1024, 'x'));
  }
  test::TempRegistration reg(test::TLocation::UserNative);
  reg.SetString(L"DisplayName", L"Quor sized");
  reg.SetString(L"InstallLocation", folder.Path());
  engine->Threaded = true;
  struct TSeen {
    TUninstallObject* Record;
    bool AtItsIndex;
    DWORD Thread;
    int64_t Size;
  };
  std::vector<TSeen> seen;
  engine->OnSizeReady = [&](TUninstallHelper& e, TUninstallObject* record) {
    seen.push_back({record, e.Programs(record->Index).get() == record, ::GetCurrentThreadId(),
                    record->GetSize()});
  };
  RefreshAndWait();
  const auto replaced = Listed(reg);
  ASSERT_NE(replaced, nullptr);
  EXPECT_EQ(replaced->GetSize(), -1);
  codes.clear();
  engine->Refresh();
  // The refresh begins before any size notification is handled.
  ASSERT_TRUE(ServeSentUntil([&] { return engine->State() == esRefreshing; }));
  ASSERT_TRUE(PumpUntil([&] { return Ended(1); }));
  const auto current = Listed(reg);
  ASSERT_NE(current, nullptr);
  ASSERT_NE(current, replaced);
  EXPECT_EQ(current->GetSize(), -1);
  ASSERT_TRUE(PumpUntil([&] { return !seen.empty(); }));
  PumpUntil([] { return false; }, 300);  // a late one for the replaced record would come now
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].Record, current.get());
  EXPECT_TRUE(seen[0].AtItsIndex);
  EXPECT_EQ(seen[0].Thread, ::GetCurrentThreadId());
  EXPECT_EQ(seen[0].Size, 300);
}

// In both modes every progress event runs on this thread, the last one sees
// the scan's final step count, and none comes after the scan's end.
TEST_F(EngineTest, ProgressIsRaisedOnThisThreadAndWhollyBeforeTheScanEnds) {
  TRuleLists rules;
  test::TempRegistration reg(test::TLocation::UserNative);
  for (const bool threaded : {true, false}) {
    SCOPED_TRACE(threaded ? "threaded" : "synchronous");
    engine->Threaded = threaded;
    codes.clear();
    std::vector<DWORD> threads;
    int32_t lastSeen = -1, atEnd = -1;
    bool ended = false;
    int afterEnd = 0;
    engine->OnProgress = [&](TUninstallHelper& e) {
      threads.push_back(::GetCurrentThreadId());
      lastSeen = e.Progress();
      afterEnd += ended;
    };
    engine->OnScanEnd = [&](TUninstallHelper& e, auto*) {
      codes.push_back(3);
      ended = true;
      atEnd = e.Progress();
    };
    engine->Uninstall(Record(reg, L""), true);
    ASSERT_TRUE(PumpUntil([&] { return ended; }));
    PumpUntil([] { return false; }, 200);
    ASSERT_GT(atEnd, 0);
    EXPECT_EQ(lastSeen, atEnd);
    EXPECT_EQ(afterEnd, 0);
    ASSERT_FALSE(threads.empty());
    for (DWORD t : threads) EXPECT_EQ(t, ::GetCurrentThreadId());
    // On the caller's thread each step is raised at once; from a worker,
    // steps that end while this thread is busy are raised together.
    if (threaded) {
      EXPECT_LE(threads.size(), static_cast<size_t>(atEnd));
    } else {
      EXPECT_EQ(threads.size(), static_cast<size_t>(atEnd));
    }
  }
}

// A progress notification posted by the worker is overtaken by the scan's
// end, which is sent: it is raised once, before the end, and a handler that
// throws does not keep the scan's end from being applied.
TEST_F(EngineTest, AWaitingProgressIsRaisedOnceBeforeTheScanEnd) {
  for (const bool throws : {false, true}) {
    SCOPED_TRACE(throws ? "throwing handler" : "handler");
    codes.clear();
    engine->OnProgress = [&, throws](auto&) {
      codes.push_back(14);
      if (throws) throw std::runtime_error("progress handler failed");
    };
    Notify(kNotifyScanBegin);
    std::thread([&] { engine->Core().ReportProgress(); }).join();
    EXPECT_EQ(Notify(kNotifyScanEnd), 1);
    PumpUntil([] { return false; }, 200);  // the posted notification finds nothing waiting
    EXPECT_EQ(codes, (std::vector<int>{2, 14, 3}));
    EXPECT_EQ(engine->State(), esIdle);
    EXPECT_FALSE(engine->Busy());
  }
}

// The removal counts the items it tries (present or not, kept ones are not
// tried), so that a bar against LeftoverCount moves; every count arrives on
// this thread and the last one before the removal's end.
TEST_F(EngineTest, RemovalProgressRisesToTheItemsTriedBeforeItsEnd) {
  test::TempRegistration reg(test::TLocation::UserNative);
  test::TempFolder folder;
  engine->Backup.Enabled = false;
  for (const bool threaded : {true, false}) {
    SCOPED_TRACE(threaded ? "threaded" : "synchronous");
    engine->Threaded = threaded;
    auto program = Record(reg, L"");
    program->AddLeftover({folder.MakeFile(L"a.txt"), lkFile});
    program->AddLeftover({folder.MakeFile(L"kept.txt"), lkFile});
    program->AddLeftover({folder / L"gone already.txt", lkFile});
    program->AddLeftover({folder.MakeFile(L"b.txt"), lkFile});
    program->SetLeftoverKept(1, true);
    std::vector<int32_t> seen;
    int32_t atEnd = -1;
    const DWORD self = ::GetCurrentThreadId();
    bool elsewhere = false;
    engine->OnProgress = [&](TUninstallHelper& e) {
      elsewhere |= ::GetCurrentThreadId() != self;
      seen.push_back(e.Progress());
    };
    bool ended = false;
    engine->OnRemoveEnd = [&](TUninstallHelper&) {
      ended = true;
      atEnd = seen.empty() ? -1 : seen.back();
    };
    engine->RemoveLeftovers(program);
    // Not the engine's state: a threaded job is idle until its begin arrives.
    ASSERT_TRUE(PumpUntil([&] { return ended; }));
    PumpUntil([] { return false; }, 200);
    EXPECT_EQ(atEnd, 3) << "three items tried, the kept one not";
    ASSERT_FALSE(seen.empty());
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(seen.back(), 3) << "no count after the end";
    EXPECT_FALSE(elsewhere);
    EXPECT_TRUE(test::PathExists(folder / L"kept.txt"));
  }
}

// Closing while an uninstaller runs: the engine stops waiting for it and
// goes, the uninstaller goes on, and no handler runs after that. Were the
// wait not aborted, destruction would last the child's 60 s.
TEST_F(EngineTest, DestroyingTheEngineLeavesTheRunningUninstallerAlone) {
  test::TChildCleanup cleanup(kHelperExe);
  test::TempRegistration reg(test::TLocation::UserNative);
  test::TempFolder folder;
  const std::wstring marker = folder / L"finished";
  engine->Threaded = true;
  auto program = Record(reg, test::HelperCommand(L"--sleep 60000 --marker \"" + marker + L"\""));
  const std::weak_ptr<TUninstallObject> held = program;
  engine->Uninstall(program, false);
  program.reset();
  ASSERT_TRUE(PumpUntil([] { return !test::OpenChildProcesses(kHelperExe).empty(); }));
  EXPECT_EQ(engine->State(), esWorking);
  EXPECT_TRUE(engine->JobRunning());
  codes.clear();
  const HWND window = engine->MessageWindow();
  const ULONGLONG start = ::GetTickCount64();
  engine.reset();
  EXPECT_LT(::GetTickCount64() - start, 30000u);  // well before the child's end
  // The worker has stopped waiting, and let go of the record, long before
  // the child ends; the child still runs.
  EXPECT_TRUE(PumpUntil([&] { return held.expired(); }, 30000));
  EXPECT_EQ(test::OpenChildProcesses(kHelperExe).size(), 1u);
  EXPECT_FALSE(test::PathExists(marker));
  EXPECT_FALSE(::IsWindow(window));
  PumpUntil([] { return false; }, 300);  // the end the worker posts raises nothing
  EXPECT_TRUE(codes.empty());
}

// A worker still running when the engine's wait is over keeps what it works
// with and ends on its own; nothing of it reaches a handler.
TEST_F(EngineTest, AWorkerOutlastingTheCloseWaitEndsOnItsOwnUnheard) {
  test::TempFolder folder;
  for (int i = 0; i < 3000; ++i) {
    folder.MakeFile(L"tree\\d" + std::to_wstring(i % 30) + L"\\f" + std::to_wstring(i));
  }
  test::TempRegistration reg(test::TLocation::UserNative);
  auto program = Record(reg, L"");
  program->AddLeftover({folder / L"tree\\", lkFolder});
  engine->Threaded = true;
  engine->Backup.Enabled = false;
  engine->CloseWaitMs = 0;
  engine->RemoveLeftovers(program);
  ASSERT_TRUE(PumpUntil([&] { return engine->State() == esWorking; }));  // removing now
  std::weak_ptr<TUninstallObject> held = program;
  program.reset();
  codes.clear();
  engine.reset();
  EXPECT_FALSE(held.expired()) << "the removal ended before the engine went";
  EXPECT_TRUE(PumpUntil([&] { return held.expired(); }, 120000));
  EXPECT_TRUE(codes.empty());
}

}  // namespace
}  // namespace quor
