#include "search/SearchLauncher.h"

#include <system_error>
#include <thread>

namespace korvane {

void SearchLauncher::CancelCurrent() {
  if (current_) current_->store(true);
}

bool SearchLauncher::Start(std::unique_ptr<ControlPort> port, PageFetcher fetch, Text siteBase,
                           SearchObserver* observer) {
  CancelCurrent();
  auto cancelled = std::make_shared<std::atomic<bool>>(false);
  current_ = cancelled;
  try {
    // Nothing waits for a search: its thread ends with it, or with the program.
    std::thread([port = std::move(port), fetch = std::move(fetch), siteBase = std::move(siteBase), cancelled,
                 observer]() {
      SearchJob job;
      job.port = port.get();
      job.fetch = fetch;
      job.siteBase = siteBase;
      job.cancelled = cancelled;
      job.observer = observer;
      SearchWorker(job);
    }).detach();
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

}  // namespace korvane
