#include "support/LoopbackServer.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdlib>

namespace quor::test {
namespace {

struct TWinsock {
  TWinsock() {
    WSADATA data{};
    ::WSAStartup(MAKEWORD(2, 2), &data);
  }
  ~TWinsock() { ::WSACleanup(); }
};

void StartWinsock() { static TWinsock winsock; }

SOCKET BoundListener(int& port) {
  SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) return s;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int length = sizeof(address);
  if (::bind(s, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    ::closesocket(s);
    return INVALID_SOCKET;
  }
  port = ntohs(address.sin_port);
  return s;
}

// Reads until the blank line that ends the request's header; answers the
// request's path.
std::string ReadRequest(SOCKET client) {
  std::string request;
  char buffer[1024];
  while (request.find("\r\n\r\n") == std::string::npos) {
    const int n = ::recv(client, buffer, sizeof(buffer), 0);
    if (n <= 0) break;
    request.append(buffer, size_t(n));
  }
  const size_t from = request.find(' ');
  const size_t to = from == std::string::npos ? from : request.find(' ', from + 1);
  return to == std::string::npos ? std::string() : request.substr(from + 1, to - from - 1);
}

std::string Answer(const std::string& body, const char* status = "200 OK") {
  return std::string("HTTP/1.1 ") + status +
         "\r\nContent-Type: text/plain\r\nContent-Length: " + std::to_string(body.size()) +
         "\r\nConnection: close\r\n\r\n" + body;
}

std::string Redirect(const std::string& location) {
  return "HTTP/1.1 302 Found\r\nLocation: " + location +
         "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
}

std::string RedirectResponse(const std::string& path, const std::string& body) {
  if (path.rfind("/hop/", 0) == 0) {
    const int left = std::atoi(path.c_str() + 5);
    return left <= 0 ? Answer(body) : Redirect("/hop/" + std::to_string(left - 1));
  }
  if (path == "/away") return Redirect(TLoopbackServer::kAwayTarget);
  return Redirect(path);
}

void SendAll(SOCKET client, const std::string& bytes) {
  for (size_t at = 0; at < bytes.size();) {
    const int n = ::send(client, bytes.data() + at, int(std::min<size_t>(bytes.size() - at, 65536)), 0);
    if (n <= 0) return;
    at += size_t(n);
  }
}

}  // namespace

TLoopbackServer::TLoopbackServer(TMode mode, std::string body) : FMode(mode), FBody(std::move(body)) {
  StartWinsock();
  int port = 0;
  SOCKET s = BoundListener(port);
  if (s == INVALID_SOCKET) return;
  if (::listen(s, 8) != 0) {
    ::closesocket(s);
    return;
  }
  FListener = s;
  FPort = port;
  FThread = std::thread([this] { Serve(); });
}

TLoopbackServer::~TLoopbackServer() {
  FStopping = true;
  if (FListener != ~uintptr_t(0)) ::closesocket(SOCKET(FListener));  // ends accept
  if (FThread.joinable()) FThread.join();
  for (uintptr_t held : FHeld) ::closesocket(SOCKET(held));
}

std::wstring TLoopbackServer::Url(const std::wstring& path) const {
  return L"http://127.0.0.1:" + std::to_wstring(FPort) + path;
}

int TLoopbackServer::ClosedPort() {
  StartWinsock();
  int port = 0;
  SOCKET s = BoundListener(port);
  if (s != INVALID_SOCKET) ::closesocket(s);
  return port;
}

void TLoopbackServer::Serve() {
  while (!FStopping) {
    SOCKET client = ::accept(SOCKET(FListener), nullptr, nullptr);
    if (client == INVALID_SOCKET) return;
    const std::string path = ReadRequest(client);
    ++FRequests;
    if (FMode == TMode::Silent) {
      FHeld.push_back(client);
      continue;
    }
    SendAll(client, FMode == TMode::Redirect   ? RedirectResponse(path, FBody)
                    : FMode == TMode::NotFound ? Answer(FBody, "404 Not Found")
                                               : Answer(FBody));
    ::shutdown(client, SD_SEND);
    ::closesocket(client);
  }
}

}  // namespace quor::test
