#pragma once
// Starts searches, one new thread each. A search started while another runs replaces it: the
// older one is asked to stop at its next step and to abort its transfer.
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "search/SearchWorker.h"

namespace korvane {

class SearchLauncher {
 public:
  SearchLauncher() = default;
  SearchLauncher(const SearchLauncher&) = delete;
  SearchLauncher& operator=(const SearchLauncher&) = delete;
  // Asks the running search to stop and waits, a few seconds at most, for every search started
  // here to end, so that none outlives what it works with. (The program itself never waits: it
  // ends its process when the window closes.)
  ~SearchLauncher();

  // `port` belongs to the new search and lives as long as its thread. Returns false when no
  // thread could be started (nothing else happens then).
  bool Start(std::unique_ptr<ControlPort> port, PageFetcher fetch, Text siteBase, SearchObserver* observer = nullptr);
  // Asks the running search, if any, to stop.
  void CancelCurrent();

 private:
  struct Running {
    std::mutex mutex;
    std::condition_variable ended;
    int count = 0;
  };

  std::shared_ptr<std::atomic<bool>> current_;
  std::shared_ptr<Running> running_ = std::make_shared<Running>();
};

}  // namespace korvane
