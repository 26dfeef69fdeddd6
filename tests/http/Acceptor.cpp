#include "Acceptor.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#include <stdexcept>

namespace korvane::testing {

Acceptor::Acceptor(std::function<void(int, int, const Acceptor&)> serve, int backlog, bool accept) : serve_(std::move(serve)) {
  std::signal(SIGPIPE, SIG_IGN);  // a client that hangs up must not end the test binary
  listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listener_ < 0) throw std::runtime_error("socket");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof address;
  if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listener_, backlog) != 0 ||
      ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    ::close(listener_);
    throw std::runtime_error("bind/listen on 127.0.0.1");
  }
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this, accept] { Run(accept); });
}

Acceptor::~Acceptor() {
  stop_ = true;
  thread_.join();
  std::vector<std::thread> connections;
  {
    std::lock_guard lock(mutex_);
    connections.swap(connections_);
  }
  for (auto& connection : connections) connection.join();
  ::close(listener_);
}

void Acceptor::Run(bool accept) {
  while (!stop_) {
    pollfd waiting{listener_, POLLIN, 0};
    if (!accept || ::poll(&waiting, 1, static_cast<int>(kPollSlice.count())) <= 0) {
      if (!accept) std::this_thread::sleep_for(kPollSlice);
      continue;
    }
    const int socket = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (socket < 0) continue;
    const int one = 1;
    ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    const int number = ++accepted_;
    std::lock_guard lock(mutex_);
    connections_.emplace_back([this, socket, number] {
      serve_(socket, number, *this);
      ::close(socket);
    });
  }
}

int ConnectLoopback(int port) {
  const int socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (socket < 0) return -1;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(port));
  if (::connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    ::close(socket);
    return -1;
  }
  return socket;
}

bool Readable(int socket) {
  pollfd waiting{socket, POLLIN, 0};
  return ::poll(&waiting, 1, static_cast<int>(kPollSlice.count())) > 0;
}

bool SendAll(int socket, std::string_view bytes) {
  while (!bytes.empty()) {
    const auto sent = ::send(socket, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

}  // namespace korvane::testing
