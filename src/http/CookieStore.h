#pragma once
// The process's own cookies: what sites set is kept from one request to the next, for requests
// whose caller does not manage cookies itself. Each request runs libcurl's cookie engine on a
// copy (cookie lines in libcurl's Netscape form) and hands back what changed, so that requests
// on several threads never share an engine.
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace korvane {

class CookieStore {
 public:
  static CookieStore& Shared();

  std::vector<std::string> Snapshot() const;

  // Applies the difference between the lines a request started with and those it ended with:
  // new or changed cookies are written, cookies that the request dropped (deleted or expired)
  // are removed unless another request has changed them meanwhile.
  void Update(const std::vector<std::string>& before, const std::vector<std::string>& after);

  void Clear();

 private:
  mutable std::mutex mutex_;
  std::map<std::string, std::string> lines_;  // by domain, host-only flag, path and name
};

}  // namespace korvane
