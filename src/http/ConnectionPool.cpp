#include "http/ConnectionPool.h"

#include "http/NoDestructor.h"

namespace korvane {
namespace {
// Caches kept beyond this many idle ones are closed: that many searches at once is plenty.
constexpr std::size_t kMaxIdle = 8;

ShareHandle NewCache() {
  ShareHandle share(curl_share_init());
  if (!share) return share;
  // Used by one transfer at a time, so no lock callbacks are needed.
  for (const auto data : {CURL_LOCK_DATA_CONNECT, CURL_LOCK_DATA_DNS, CURL_LOCK_DATA_SSL_SESSION}) {
    if (curl_share_setopt(share.get(), CURLSHOPT_SHARE, data) != CURLSHE_OK) return nullptr;
  }
  return share;
}
}  // namespace

ConnectionPool& ConnectionPool::Shared() {
  static NoDestructor<ConnectionPool> pool;
  return pool.get();
}

ConnectionPool::Lease ConnectionPool::Borrow() {
  {
    std::lock_guard lock(mutex_);
    if (!idle_.empty()) {
      ShareHandle share = std::move(idle_.back());
      idle_.pop_back();
      return Lease(this, std::move(share));
    }
  }
  return Lease(this, NewCache());
}

void ConnectionPool::GiveBack(ShareHandle share) {
  std::unique_lock lock(mutex_);
  if (idle_.size() < kMaxIdle) {
    idle_.push_back(std::move(share));
    return;
  }
  lock.unlock();
  share.reset();
}

}  // namespace korvane
