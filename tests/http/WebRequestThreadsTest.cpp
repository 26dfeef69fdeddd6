// Requests on several threads at once: the shared connection caches and cookie store, and a
// search's cancel flag set from another thread.
#include <gtest/gtest.h>

#include <barrier>
#include <thread>

#include "LoopbackServer.h"
#include "http/WebRequest.h"

namespace korvane {
namespace {

using testing::HttpResponse;
using testing::LoopbackServer;
using testing::RecordedRequest;
using testing::Reply;

Reply Answer(std::string bytes) { return Reply{std::move(bytes), {}, false, false}; }

class WebRequestThreadsTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearCookieStore(); }
};

TEST_F(WebRequestThreadsTest, ConcurrentRequestsEachGetTheirOwnAnswer) {
  LoopbackServer server([](const RecordedRequest& request) {
    return Answer(HttpResponse(200, {}, "page " + request.Target()));
  });
  constexpr int kThreads = 4;
  constexpr int kRequests = 25;
  std::atomic<int> wrong{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kRequests; ++i) {
        const std::string path = "/t" + std::to_string(t) + "/" + std::to_string(i);
        if (FetchPageText(server.Url(path)) != "page " + path) ++wrong;
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(server.Requests().size(), static_cast<std::size_t>(kThreads * kRequests));
  // Connections are kept: far fewer than one per request.
  EXPECT_LE(server.Connections(), 2 * kThreads);
}

// Requests that run at the same time each set a cookie; the store keeps all of them.
TEST_F(WebRequestThreadsTest, CookiesSetByConcurrentRequestsAreAllKept) {
  constexpr int kThreads = 4;
  std::barrier inside(kThreads);
  LoopbackServer server([&](const RecordedRequest& request) {
    const auto target = request.Target();
    if (target.rfind("/set/", 0) != 0) return Answer(HttpResponse(200, {}, request.Header("Cookie")));
    inside.arrive_and_wait();  // every request has started before any answers
    const auto name = target.substr(5);
    return Answer(HttpResponse(200, {"Set-Cookie: " + name + "=" + name + "; path=/"}, "set"));
  });
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] { EXPECT_EQ(FetchPageText(server.Url("/set/c" + std::to_string(t))), "set"); });
  }
  for (auto& thread : threads) thread.join();
  const Text sent = FetchPageText(server.Url("/show"));
  for (int t = 0; t < kThreads; ++t) {
    const std::string cookie = "c" + std::to_string(t) + "=c" + std::to_string(t);
    EXPECT_NE(sent.find(cookie), std::string::npos) << cookie << " missing from '" << sent << "'";
  }
}

TEST_F(WebRequestThreadsTest, AConnectionIsReusedByTheNextThread) {
  LoopbackServer server([](const RecordedRequest&) { return Answer(HttpResponse(200, {}, "ok")); });
  for (int i = 0; i < 3; ++i) {
    std::thread([&] { EXPECT_EQ(FetchPageText(server.Url("/next")), "ok"); }).join();
  }
  EXPECT_EQ(server.Connections(), 1);
}

TEST_F(WebRequestThreadsTest, CancelEndsARequestInProgress) {
  LoopbackServer server([](const RecordedRequest&) {
    Reply reply = Answer("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nfirst bytes");
    reply.stall = true;
    return reply;
  });
  for (const bool whileWaiting : {true, false}) {
    std::atomic<bool> cancel{false};
    std::thread canceller([&] {
      // Set the flag once the request is under way: the server has seen it.
      while (server.Requests().size() < (whileWaiting ? 1u : 2u)) std::this_thread::sleep_for(std::chrono::milliseconds(10));
      cancel = true;
    });
    Text diagnostic;
    // The default no-progress timeout is far longer than this test waits for the cancel.
    EXPECT_EQ(FetchPageText(server.Url("/slow"), &cancel, &diagnostic), "");
    EXPECT_EQ(diagnostic, "cancelled");
    canceller.join();
  }
}

}  // namespace
}  // namespace korvane
