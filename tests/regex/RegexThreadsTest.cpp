// Objects on several threads at once: each thread has its own initialisation count, JIT stack and
// match context, and runs never disturb one another.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "regex/RegexObject.h"

namespace korvane {
namespace {

TEST(RegexThreads, CountsAreKeptPerThreadAndRunsAreIndependent) {
  constexpr int kThreads = 4;
  std::string subject;
  for (int i = 0; i < 2000; ++i) subject += "<a>" + std::to_string(i) + "</a>\n";
  std::atomic<int> failures{0};
  const int before = RegexObject::ThreadInitCount();
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      if (RegexObject::ThreadInitCount() != 0) ++failures;
      RegexObject regex;
      RegexObject copy = regex.Copy();
      if (RegexObject::ThreadInitCount() != 2) ++failures;
      for (int round = 0; round < 20; ++round) {
        const std::string pattern = t % 2 ? "<a>(\\d+)</a>" : "<A>(\\d*?)</A>$";
        if (!regex.Create(pattern, subject) || regex.MatchCount() != 2000) ++failures;
        if (regex.SubmatchText(1234, 1) != "1233") ++failures;
      }
      copy.Destroy();
      regex.Destroy();
      if (RegexObject::ThreadInitCount() != 0) ++failures;
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(failures.load(), 0);
  EXPECT_EQ(RegexObject::ThreadInitCount(), before);
}

}  // namespace
}  // namespace korvane
