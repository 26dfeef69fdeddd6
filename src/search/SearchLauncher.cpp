#include "search/SearchLauncher.h"

#include <chrono>
#include <system_error>
#include <thread>

namespace korvane {

SearchLauncher::~SearchLauncher() {
  CancelCurrent();
  std::unique_lock lock(running_->mutex);
  running_->ended.wait_for(lock, std::chrono::seconds(10), [&] { return running_->count == 0; });
}

void SearchLauncher::CancelCurrent() {
  if (current_) current_->store(true);
}

bool SearchLauncher::Start(std::unique_ptr<ControlPort> port, PageFetcher fetch, Text siteBase,
                           SearchObserver* observer) {
  CancelCurrent();
  auto cancelled = std::make_shared<std::atomic<bool>>(false);
  current_ = cancelled;
  {
    std::lock_guard lock(running_->mutex);
    ++running_->count;
  }
  try {
    // Nothing waits for a search while the program runs: its thread ends with it.
    std::thread([port = std::move(port), fetch = std::move(fetch), siteBase = std::move(siteBase), cancelled,
                 observer, running = running_]() mutable {
      SearchJob job;
      job.port = port.get();
      job.fetch = fetch;
      job.siteBase = siteBase;
      job.cancelled = cancelled;
      job.observer = observer;
      SearchWorker(job);
      port.reset();
      std::lock_guard lock(running->mutex);
      --running->count;
      running->ended.notify_all();
    }).detach();
  } catch (const std::system_error&) {
    std::lock_guard lock(running_->mutex);
    --running_->count;
    return false;
  }
  return true;
}

}  // namespace korvane
