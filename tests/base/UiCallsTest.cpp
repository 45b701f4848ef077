#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <thread>

#include "base/UiCalls.h"

namespace quor {
namespace {

// Handles the thread's messages until `done` or two seconds have passed.
template <typename Done>
bool PumpUntil(Done done) {
  for (DWORD start = ::GetTickCount(); !done();) {
    if (::GetTickCount() - start > 2000) return false;
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    ::Sleep(1);
  }
  return true;
}

TEST(UiCalls, PostedAndSentCallsRunOnTheOwnersThread) {
  TUiCalls calls;
  const DWORD owner = ::GetCurrentThreadId();
  std::atomic<DWORD> postedOn{0}, sentOn{0};
  std::atomic<bool> sendAnswered{false}, sendResult{false};
  std::thread worker([&, link = calls.Link()] {
    EXPECT_TRUE(link->Post([&] { postedOn = ::GetCurrentThreadId(); }));
    sendResult = link->Send([&] { sentOn = ::GetCurrentThreadId(); });
    sendAnswered = true;
  });
  EXPECT_TRUE(PumpUntil([&] { return sendAnswered.load() && postedOn.load() != 0; }));
  worker.join();
  EXPECT_EQ(postedOn.load(), owner);
  EXPECT_EQ(sentOn.load(), owner);
  EXPECT_TRUE(sendResult.load());
}

TEST(UiCalls, CallsAfterTheOwnerHasGoneAreDroppedAndSaySo) {
  std::optional<TUiCalls> calls(std::in_place);
  auto link = calls->Link();
  bool ran = false;
  // Queued but never handled: dropped with the owner, not run later.
  ASSERT_TRUE(link->Post([&] { ran = true; }));
  calls.reset();
  std::atomic<int> answers{0};
  std::thread worker([&] {
    answers += link->Post([&] { ran = true; }) ? 1 : 0;
    answers += link->Send([&] { ran = true; }) ? 1 : 0;
  });
  worker.join();
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
  EXPECT_EQ(answers.load(), 0);
  EXPECT_FALSE(ran);
}

}  // namespace
}  // namespace quor
