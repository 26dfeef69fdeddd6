#include "sample-site/ConnectionStream.h"

#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>

namespace korvane::site {

namespace {

// poll() for `events`, retried on EINTR; the revents, or 0 on timeout or error.
short Poll(int fd, short events, int timeoutMs) {
  pollfd p{fd, events, 0};
  int rc;
  do {
    rc = poll(&p, 1, timeoutMs);
  } while (rc < 0 && errno == EINTR);
  return rc > 0 ? p.revents : 0;
}

void Endpoint(int fd, bool peer, std::string& ip, int& port) {
  sockaddr_storage ss{};
  socklen_t len = sizeof ss;
  auto* sa = reinterpret_cast<sockaddr*>(&ss);
  ip.clear();
  port = -1;
  if ((peer ? getpeername(fd, sa, &len) : getsockname(fd, sa, &len)) != 0) return;
  char host[NI_MAXHOST];
  char serv[NI_MAXSERV];
  if (getnameinfo(sa, len, host, sizeof host, serv, sizeof serv,
                  NI_NUMERICHOST | NI_NUMERICSERV) != 0) {
    return;
  }
  ip = host;
  std::from_chars(serv, serv + std::strlen(serv), port);
}

}  // namespace

ConnectionStream::ConnectionStream(int fd, int readTimeoutMs, int writeTimeoutMs)
    : fd_(fd), readTimeoutMs_(readTimeoutMs), writeTimeoutMs_(writeTimeoutMs), buffer_(4096) {}

bool ConnectionStream::is_readable() const {
  return bufferAt_ < bufferEnd_ ||
         (Poll(fd_, POLLIN, readTimeoutMs_) & (POLLIN | POLLHUP | POLLERR)) != 0;
}

bool ConnectionStream::is_writable() const {
  const short ev = Poll(fd_, POLLOUT, writeTimeoutMs_);
  return (ev & POLLOUT) != 0 && (ev & (POLLERR | POLLHUP)) == 0;
}

ssize_t ConnectionStream::read(char* ptr, size_t size) {
  if (bufferAt_ == bufferEnd_) {
    if (!is_readable()) return -1;
    // Large reads (bodies) go straight to the caller; small ones refill the buffer.
    const bool direct = size >= buffer_.size();
    ssize_t n;
    do {
      n = direct ? recv(fd_, ptr, size, 0) : recv(fd_, buffer_.data(), buffer_.size(), 0);
    } while (n < 0 && errno == EINTR);
    if (direct || n <= 0) return n;
    bufferAt_ = 0;
    bufferEnd_ = static_cast<size_t>(n);
  }
  const size_t take = std::min(size, bufferEnd_ - bufferAt_);
  std::memcpy(ptr, buffer_.data() + bufferAt_, take);
  bufferAt_ += take;
  return static_cast<ssize_t>(take);
}

ssize_t ConnectionStream::write(const char* ptr, size_t size) {
  if (!is_writable()) return -1;
  ssize_t n;
  do {
    // MSG_NOSIGNAL: a client that went away must not raise SIGPIPE in the host process.
    n = send(fd_, ptr, size, MSG_NOSIGNAL);
  } while (n < 0 && errno == EINTR);
  return n;
}

void ConnectionStream::get_remote_ip_and_port(std::string& ip, int& port) const {
  Endpoint(fd_, true, ip, port);
}

void ConnectionStream::get_local_ip_and_port(std::string& ip, int& port) const {
  Endpoint(fd_, false, ip, port);
}

bool ConnectionStream::WaitForRequest(int timeoutMs) const {
  return bufferAt_ < bufferEnd_ || WaitReadable(fd_, timeoutMs);
}

bool WaitReadable(int fd, int timeoutMs) {
  return (Poll(fd, POLLIN, timeoutMs) & (POLLIN | POLLHUP | POLLERR)) != 0;
}

bool ResetConnection(int fd) {
  // Disconnecting a connected TCP socket with AF_UNSPEC makes the kernel send a reset and,
  // unlike close() with a zero linger, leaves the descriptor to its owner.
  sockaddr sa{};
  sa.sa_family = AF_UNSPEC;
  return connect(fd, &sa, sizeof sa) == 0;
}

}  // namespace korvane::site
