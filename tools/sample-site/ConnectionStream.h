#pragma once
// The site's own reading and writing of one accepted connection, so that it holds the socket
// itself: the HTTP library offers no way to reset a connection or to cut it at shutdown.
#include <httplib.h>

#include <string>
#include <vector>

namespace korvane::site {

class ConnectionStream final : public httplib::Stream {
 public:
  // `fd` stays owned by the caller. Reads and writes wait at most their timeouts.
  ConnectionStream(int fd, int readTimeoutMs, int writeTimeoutMs);

  bool is_readable() const override;
  bool is_writable() const override;
  ssize_t read(char* ptr, size_t size) override;
  ssize_t write(const char* ptr, size_t size) override;
  void get_remote_ip_and_port(std::string& ip, int& port) const override;
  void get_local_ip_and_port(std::string& ip, int& port) const override;
  int socket() const override { return fd_; }

  // Waits up to `timeoutMs` for the next request on a kept-alive connection: true when bytes
  // (or the end of the stream, which the reader then sees) are there.
  bool WaitForRequest(int timeoutMs) const;

 private:
  int fd_;
  int readTimeoutMs_;
  int writeTimeoutMs_;
  // The library reads request lines a byte at a time; a buffer saves a poll and a recv each.
  std::vector<char> buffer_;
  size_t bufferAt_ = 0;
  size_t bufferEnd_ = 0;
};

// Waits up to `timeoutMs` for bytes, or the end of the stream, on `fd`.
bool WaitReadable(int fd, int timeoutMs);

// Aborts the connection with a TCP reset. The descriptor stays open for its owner, whose reads
// and writes then fail. False when the socket refused.
bool ResetConnection(int fd);

}  // namespace korvane::site
