#pragma once
// Starts searches, one new thread each. A search started while another runs replaces it: the
// older one is asked to stop at its next step and to abort its transfer.
#include <atomic>
#include <memory>

#include "search/SearchWorker.h"

namespace korvane {

class SearchLauncher {
 public:
  // `port` belongs to the new search and lives as long as its thread. Returns false when no
  // thread could be started (nothing else happens then).
  bool Start(std::unique_ptr<ControlPort> port, PageFetcher fetch, Text siteBase, SearchObserver* observer = nullptr);
  // Asks the running search, if any, to stop.
  void CancelCurrent();

 private:
  std::shared_ptr<std::atomic<bool>> current_;
};

}  // namespace korvane
