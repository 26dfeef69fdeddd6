#pragma once
// A forward proxy on 127.0.0.1 for the tests: plain requests in absolute form are passed on to
// their server, CONNECT opens a tunnel. It records the head of every request it receives and
// reaches loopback servers only.
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "Acceptor.h"

namespace korvane::testing {

class LoopbackProxy {
 public:
  LoopbackProxy();
  ~LoopbackProxy();

  int Port() const { return acceptor_->Port(); }
  std::string Address() const { return "127.0.0.1:" + std::to_string(Port()); }
  std::vector<std::string> Heads() const;  // each received request head, through the blank line

 private:
  void Serve(int client, const Acceptor& acceptor);

  mutable std::mutex mutex_;
  std::vector<std::string> heads_;
  std::unique_ptr<Acceptor> acceptor_;
};

}  // namespace korvane::testing
