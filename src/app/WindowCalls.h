#pragma once
// Calls from other threads, carried out one at a time on the window's thread while the calling
// thread waits.
//
// Qt's blocking queued connection does the same, but it hands the call over through futexes
// inside an uninstrumented Qt, which ThreadSanitizer cannot see; every cross-thread call would
// then show as a data race and hide the real ones. Here the hand-over is a mutex and a condition
// variable, and the window's thread is woken through an eventfd that it watches.
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace korvane {

class WindowCalls {
 public:
  // Made on the window's thread.
  WindowCalls();
  ~WindowCalls();
  WindowCalls(const WindowCalls&) = delete;
  WindowCalls& operator=(const WindowCalls&) = delete;

  // Runs `call` on the window's thread and returns once it has run; on the window's thread it
  // runs at once. False, with `call` not run, when the calls are closed.
  bool Run(const std::function<void()>& call);

  // Window's thread, when WakeHandle() is readable: runs the calls handed over. A search writes
  // its rows call after call, so after the last one it waits a moment for the next, for up to
  // kSlice in all: the window then lays out and repaints once per burst, not once per call.
  void RunPending();

  static constexpr std::chrono::microseconds kLinger{500};
  static constexpr std::chrono::milliseconds kSlice{8};
  // Window's thread: refuses every further call; callers still waiting return false at once.
  void Close();

  // Readable while calls are pending; -1 when it could not be made (the calls are then closed).
  int WakeHandle() const { return wakeFd_; }
  // Callers that are waiting for the window's thread now.
  std::size_t Waiting() const;

 private:
  enum class State { kQueued, kRunning, kDone, kRefused };
  struct Pending {
    const std::function<void()>* call;
    State state = State::kQueued;
  };

  static void RunGuarded(const std::function<void()>& call);
  void Wake() const;

  const std::thread::id windowThread_;
  int wakeFd_ = -1;
  mutable std::mutex mutex_;
  std::condition_variable finished_;  // a call ran or was refused
  std::condition_variable arrived_;   // a call was handed over
  std::deque<Pending*> queue_;
  std::size_t waiting_ = 0;
  bool closed_ = false;
};

}  // namespace korvane
