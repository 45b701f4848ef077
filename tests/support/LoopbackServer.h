#pragma once
// A tiny HTTP server on 127.0.0.1 for tests: answers every request with one
// fixed response, redirects, or accepts and never answers. It counts the
// requests.

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace quor::test {

class TLoopbackServer {
 public:
  enum class TMode { Answer, Silent, Redirect, NotFound };
  // `body` is sent after a "200 OK" header (Answer); Silent reads the
  // request and holds the connection until the server goes. Redirect sends
  // "/hop/N" to "/hop/N-1" and answers "/hop/0" with `body`; "/away" to
  // kAwayTarget; any other path to itself. NotFound sends `body` after a
  // "404 Not Found" header.
  TLoopbackServer(TMode mode, std::string body = {});
  ~TLoopbackServer();
  TLoopbackServer(const TLoopbackServer&) = delete;
  TLoopbackServer& operator=(const TLoopbackServer&) = delete;

  static constexpr const char* kAwayTarget = "file:///C:/windows/win.ini";

  bool Listening() const { return FPort != 0; }
  // "http://127.0.0.1:<port><path>"
  std::wstring Url(const std::wstring& path = L"/update/info.txt") const;
  int Requests() const { return FRequests.load(); }

  // A port on which nothing listens (bound, then closed).
  static int ClosedPort();

 private:
  void Serve();

  TMode FMode;
  std::string FBody;
  uintptr_t FListener = ~uintptr_t(0);
  int FPort = 0;
  std::atomic<int> FRequests{0};
  std::atomic<bool> FStopping{false};
  std::vector<uintptr_t> FHeld;  // connections a silent server keeps open
  std::thread FThread;
};

}  // namespace quor::test
