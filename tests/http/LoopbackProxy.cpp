#include "LoopbackProxy.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string_view>

namespace korvane::testing {
namespace {

// The port of "127.0.0.1:port" or "localhost:port" at the start of `authority`, or -1: the proxy
// goes nowhere else.
int LoopbackPort(std::string_view authority) {
  for (std::string_view host : {"127.0.0.1:", "localhost:"}) {
    if (authority.substr(0, host.size()) != host) continue;
    authority.remove_prefix(host.size());
    int port = 0;
    for (const char c : authority) {
      if (c < '0' || c > '9') break;
      port = port * 10 + (c - '0');
      if (port > 65535) return -1;
    }
    return port > 0 ? port : -1;
  }
  return -1;
}

// Copies bytes both ways until either side closes.
void Relay(int a, int b, const Acceptor& acceptor) {
  char buffer[16384];
  while (!acceptor.Stopping()) {
    pollfd fds[2] = {{a, POLLIN, 0}, {b, POLLIN, 0}};
    if (::poll(fds, 2, static_cast<int>(kPollSlice.count())) <= 0) continue;
    for (int i = 0; i < 2; ++i) {
      if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      const auto n = ::recv(fds[i].fd, buffer, sizeof buffer, 0);
      if (n <= 0 || !SendAll(fds[1 - i].fd, std::string_view(buffer, static_cast<std::size_t>(n)))) return;
    }
  }
}

}  // namespace

LoopbackProxy::LoopbackProxy()
    : acceptor_(std::make_unique<Acceptor>([this](int client, int, const Acceptor& acceptor) { Serve(client, acceptor); })) {}

LoopbackProxy::~LoopbackProxy() { acceptor_.reset(); }

std::vector<std::string> LoopbackProxy::Heads() const {
  std::lock_guard lock(mutex_);
  return heads_;
}

void LoopbackProxy::Serve(int client, const Acceptor& acceptor) {
  std::string buffer;
  char chunk[16384];
  std::size_t headEnd;
  while ((headEnd = buffer.find("\r\n\r\n")) == std::string::npos) {
    if (acceptor.Stopping()) return;
    if (!Readable(client)) continue;
    const auto n = ::recv(client, chunk, sizeof chunk, 0);
    if (n <= 0) return;
    buffer.append(chunk, static_cast<std::size_t>(n));
  }
  const std::string head = buffer.substr(0, headEnd + 4);
  {
    std::lock_guard lock(mutex_);
    heads_.push_back(head);
  }
  const bool tunnel = head.rfind("CONNECT ", 0) == 0;
  const auto targetStart = head.find(' ') + 1;
  std::string_view target(head.data() + targetStart, head.find(' ', targetStart) - targetStart);
  if (!tunnel) {
    if (target.substr(0, 7) != "http://") return;
    target.remove_prefix(7);
  }
  const int port = LoopbackPort(target);
  const int server = port > 0 ? ConnectLoopback(port) : -1;
  if (server < 0) {
    SendAll(client, "HTTP/1.1 502 Bad Gateway\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
    return;
  }
  const bool ready = tunnel ? SendAll(client, "HTTP/1.1 200 Connection established\r\n\r\n") &&
                                 SendAll(server, std::string_view(buffer).substr(head.size()))
                            : SendAll(server, buffer);
  if (ready) Relay(client, server, acceptor);
  ::close(server);
}

}  // namespace korvane::testing
