#include "app/WindowCalls.h"

#include <gtest/gtest.h>
#include <poll.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>
#include <vector>

namespace korvane {
namespace {

using namespace std::chrono_literals;

// Serves the calls as the window's event loop does: runs them whenever the handle is readable,
// until `done` holds or ten seconds have passed. False on the time-out.
template <class Done>
bool Serve(WindowCalls& calls, Done done) {
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    pollfd wake{calls.WakeHandle(), POLLIN, 0};
    if (poll(&wake, 1, 10) > 0) calls.RunPending();
  }
  return true;
}

void WaitForWaiting(const WindowCalls& calls, std::size_t count) {
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (calls.Waiting() < count && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(1ms);
  ASSERT_EQ(calls.Waiting(), count);
}

TEST(WindowCalls, CallsFromTheOwnThreadRunAtOnce) {
  WindowCalls calls;
  int ran = 0;
  EXPECT_TRUE(calls.Run([&] { ++ran; }));
  EXPECT_EQ(ran, 1);
  calls.Close();
  EXPECT_FALSE(calls.Run([&] { ++ran; }));
  EXPECT_EQ(ran, 1);
}

// Calls longer than a slice, handed over before the window's thread looks: each is still run,
// though the handle was read once for all of them.
TEST(WindowCalls, CallsQueuedBeyondOneSliceAreNotForgotten) {
  WindowCalls calls;
  constexpr int kCallers = 3;
  std::atomic<int> ran{0};
  std::vector<std::future<bool>> callers;
  for (int i = 0; i < kCallers; ++i) {
    callers.push_back(std::async(std::launch::async, [&] {
      return calls.Run([&] {
        std::this_thread::sleep_for(WindowCalls::kSlice + 2ms);
        ++ran;
      });
    }));
  }
  WaitForWaiting(calls, kCallers);
  EXPECT_TRUE(Serve(calls, [&] { return ran == kCallers; }));
  calls.Close();  // lets go of any caller that was forgotten
  for (auto& caller : callers) EXPECT_TRUE(caller.get());
}

TEST(WindowCalls, EachCallerWaitsForItsOwnCallInTurn) {
  WindowCalls calls;
  std::vector<int> order;  // touched on this thread only, inside the calls
  std::atomic<int> finished{0};
  std::vector<std::thread> callers;
  for (int caller = 0; caller < 2; ++caller) {
    callers.emplace_back([&, caller] {
      for (int i = 0; i < 200; ++i) {
        int seen = -1;
        EXPECT_TRUE(calls.Run([&] {
          order.push_back(caller * 1000 + i);
          seen = i;
        }));
        EXPECT_EQ(seen, i);  // the call has run when Run returns
      }
      ++finished;
    });
  }
  EXPECT_TRUE(Serve(calls, [&] { return finished == 2; }));
  calls.Close();
  for (std::thread& caller : callers) caller.join();
  ASSERT_EQ(order.size(), 400u);
  int next[2] = {0, 0};
  for (const int entry : order) EXPECT_EQ(entry % 1000, next[entry / 1000]++);
}

TEST(WindowCalls, ClosingRefusesWaitingAndLaterCalls) {
  WindowCalls calls;
  bool ran = false;
  auto caller = std::async(std::launch::async, [&] { return calls.Run([&] { ran = true; }); });
  WaitForWaiting(calls, 1);
  calls.Close();
  ASSERT_EQ(caller.wait_for(10s), std::future_status::ready);
  EXPECT_FALSE(caller.get());
  auto late = std::async(std::launch::async, [&] { return calls.Run([&] { ran = true; }); });
  ASSERT_EQ(late.wait_for(10s), std::future_status::ready);
  EXPECT_FALSE(late.get());
  calls.RunPending();
  EXPECT_FALSE(ran);
  EXPECT_EQ(calls.Waiting(), 0u);
}

}  // namespace
}  // namespace korvane
