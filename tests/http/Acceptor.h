#pragma once
// The accepting half of the loopback servers in these tests: a listening socket on 127.0.0.1,
// a thread that accepts, and one thread per connection. Every wait is short and checks the stop
// flag, so that destroying the acceptor ends all of them.
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>

namespace korvane::testing {

// The wait that every blocking step of the test servers takes before it looks at its stop flag.
inline constexpr std::chrono::milliseconds kPollSlice{50};

class Acceptor {
 public:
  // `serve` runs on its own thread for each accepted socket and owns it (closes it at the end).
  // `backlog` is handed to listen(); `accept` false leaves connections waiting in the backlog.
  explicit Acceptor(std::function<void(int socket, int number, const Acceptor& self)> serve, int backlog = 64, bool accept = true);
  ~Acceptor();
  Acceptor(const Acceptor&) = delete;
  Acceptor& operator=(const Acceptor&) = delete;

  int Port() const { return port_; }
  bool Stopping() const { return stop_.load(); }
  int Accepted() const { return accepted_.load(); }

 private:
  void Run(bool accept);

  std::function<void(int, int, const Acceptor&)> serve_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<int> accepted_{0};
  std::mutex mutex_;
  std::vector<std::thread> connections_;
  std::thread thread_;
};

// A connected TCP socket to 127.0.0.1:port, or -1.
int ConnectLoopback(int port);

// Waits up to one poll slice for `socket` to become readable; true when it is (or has closed).
bool Readable(int socket);

// Writes all of `bytes`; false when the peer has gone.
bool SendAll(int socket, std::string_view bytes);

}  // namespace korvane::testing
