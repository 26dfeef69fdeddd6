#pragma once
// Kept-alive connections, reused from one request to the next. libcurl does not support one
// connection cache used by several threads at once, so the pool holds several caches (each in
// a share handle) and lends each to one request at a time.
#include <mutex>
#include <vector>

#include "http/CurlHandles.h"

namespace korvane {

class ConnectionPool {
 public:
  // Gives the cache back to the pool when it goes out of scope.
  class Lease {
   public:
    Lease(ConnectionPool* pool, ShareHandle share) : pool_(pool), share_(std::move(share)) {}
    Lease(Lease&&) = default;
    Lease& operator=(Lease&&) = delete;
    ~Lease() {
      if (pool_ && share_) pool_->GiveBack(std::move(share_));
    }
    CURLSH* get() const { return share_.get(); }

   private:
    ConnectionPool* pool_;
    ShareHandle share_;
  };

  static ConnectionPool& Shared();

  // A cache that no other request holds; null when libcurl could not make one.
  Lease Borrow();

 private:
  void GiveBack(ShareHandle share);

  std::mutex mutex_;
  std::vector<ShareHandle> idle_;
};

}  // namespace korvane
