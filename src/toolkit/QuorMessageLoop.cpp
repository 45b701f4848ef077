#include "toolkit/QuorMessageLoop.h"

#include <utility>
#include <vector>

namespace quor {
namespace {

struct TFilterEntry {
  int Id;
  TMessageFilter Filter;
};

// The user-interface thread's application-wide message hook: one list per thread.
struct TFilters {
  std::vector<TFilterEntry> Entries;
  int NextId = 1;
};

TFilters& ThreadFilters() {
  thread_local TFilters filters;
  return filters;
}

void Dispatch(MSG& msg) {
  if (TMessageLoop::Filter(msg)) return;
  ::TranslateMessage(&msg);
  ::DispatchMessageW(&msg);
}

}  // namespace

TMessageLoop::TFilterToken::~TFilterToken() {
  if (!FId) return;
  std::erase_if(ThreadFilters().Entries, [id = FId](const TFilterEntry& e) { return e.Id == id; });
}

TMessageLoop::TFilterToken& TMessageLoop::TFilterToken::operator=(TFilterToken&& other) noexcept {
  if (this != &other) {
    TFilterToken old(std::exchange(FId, std::exchange(other.FId, 0)));
  }
  return *this;
}

TMessageLoop::TFilterToken TMessageLoop::AddFilter(TMessageFilter filter) {
  TFilters& filters = ThreadFilters();
  const int id = filters.NextId++;
  filters.Entries.push_back({id, std::move(filter)});
  return TFilterToken(id);
}

bool TMessageLoop::Filter(MSG& msg) {
  // A filter may add or remove filters: walk a copy.
  const std::vector<TFilterEntry> entries = ThreadFilters().Entries;
  for (const TFilterEntry& e : entries)
    if (e.Filter && e.Filter(msg)) return true;
  return false;
}

int TMessageLoop::Run(const std::function<bool()>& done) {
  MSG msg;
  while (!(done && done())) {
    const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == -1) return -1;
    if (got == 0) {
      // A nested loop hands the quit on to the loop around it.
      if (done) ::PostQuitMessage(int(msg.wParam));
      return int(msg.wParam);
    }
    Dispatch(msg);
  }
  return 0;
}

bool TMessageLoop::ProcessPending() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      ::PostQuitMessage(int(msg.wParam));
      return false;
    }
    Dispatch(msg);
  }
  return true;
}

}  // namespace quor
