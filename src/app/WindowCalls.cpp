#include "app/WindowCalls.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace korvane {

WindowCalls::WindowCalls() : windowThread_(std::this_thread::get_id()) {
  wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wakeFd_ < 0) closed_ = true;
}

WindowCalls::~WindowCalls() {
  if (wakeFd_ >= 0) close(wakeFd_);
}

bool WindowCalls::Run(const std::function<void()>& call) {
  std::unique_lock lock(mutex_);
  if (closed_) return false;
  if (std::this_thread::get_id() == windowThread_) {
    // Waiting for ourselves would never end.
    lock.unlock();
    RunGuarded(call);
    return true;
  }
  Pending pending{&call};
  queue_.push_back(&pending);
  ++waiting_;
  lock.unlock();
  arrived_.notify_one();
  Wake();

  lock.lock();
  finished_.wait(lock, [&] { return pending.state == State::kDone || pending.state == State::kRefused; });
  --waiting_;
  return pending.state == State::kDone;
}

void WindowCalls::RunPending() {
  std::uint64_t count = 0;
  while (read(wakeFd_, &count, sizeof count) < 0 && errno == EINTR) {
  }
  const auto end = std::chrono::steady_clock::now() + kSlice;
  std::unique_lock lock(mutex_);
  while (std::chrono::steady_clock::now() < end) {
    if (queue_.empty() && !arrived_.wait_for(lock, kLinger, [&] { return !queue_.empty() || closed_; })) return;
    if (queue_.empty()) return;  // closed while lingering
    Pending* next = queue_.front();
    queue_.pop_front();
    next->state = State::kRunning;
    lock.unlock();
    RunGuarded(*next->call);
    lock.lock();
    next->state = State::kDone;
    lock.unlock();
    finished_.notify_all();
    lock.lock();
  }
  // The slice is over with calls still queued. Some may have been handed over before the handle
  // was read above, so wake ourselves: the window's thread comes back to them after its other
  // events.
  if (!queue_.empty()) Wake();
}

void WindowCalls::Wake() const {
  const std::uint64_t one = 1;
  while (write(wakeFd_, &one, sizeof one) < 0 && errno == EINTR) {
  }
}

void WindowCalls::Close() {
  {
    const std::lock_guard lock(mutex_);
    closed_ = true;
    for (Pending* pending : queue_) pending->state = State::kRefused;
    queue_.clear();
  }
  finished_.notify_all();
}

std::size_t WindowCalls::Waiting() const {
  const std::lock_guard lock(mutex_);
  return waiting_;
}

void WindowCalls::RunGuarded(const std::function<void()>& call) {
  // Nothing may unwind into the event loop; a call that fails leaves its result as it was.
  try {
    call();
  } catch (...) {
  }
}

}  // namespace korvane
