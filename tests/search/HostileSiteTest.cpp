// Whole searches against a site that misbehaves on its first page or on a numbered page: every
// search ends, the rows of the good pages are kept in order, and the search tells which page
// its patterns gave up on.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <mutex>

#include "KeywordPort.h"
#include "http/WebRequest.h"
#include "sample-site/SampleSite.h"
#include "support/ListedRows.h"
#include "search/SearchWorker.h"
#include "search/TextCodecs.h"
#include "support/HostileModes.h"

namespace korvane {

void PrintTo(const ResultRow& row, std::ostream* os) {
  *os << "{" << ::testing::PrintToString(row.name) << ", " << ::testing::PrintToString(row.size) << ", "
      << ::testing::PrintToString(row.files) << ", " << ::testing::PrintToString(row.date) << ", "
      << ::testing::PrintToString(row.magnet) << "}";
}

namespace {

using hostile::Outcome;

using RecordingPort = testing::KeywordPort;

class ShortReads : public SearchObserver {
 public:
  void PageReadShort(int page) override {
    std::lock_guard lock(mutex_);
    pages_.push_back(page);
  }
  std::vector<int> Pages() {
    std::lock_guard lock(mutex_);
    return pages_;
  }

 private:
  std::mutex mutex_;
  std::vector<int> pages_;
};

// The pages asked for, each once: a redirect's hops and a retry after a reset count as the page.
std::vector<std::string> PagesAskedFor(std::vector<std::string> targets) {
  for (auto& t : targets) t = t.substr(0, t.find('?'));
  targets.erase(std::unique(targets.begin(), targets.end()), targets.end());
  return targets;
}

class HostileSite : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(site.Start(0)) << site.Error(); }
  site::SampleSite site;
};

TEST_F(HostileSite, EverySearchEndsAndKeepsTheGoodPagesRows) {
  for (const auto& mode : hostile::kModes) {
    for (const bool first : {true, false}) {
      const std::string keyword = hostile::Keyword(mode, first);
      SCOPED_TRACE(std::string(mode.name) + (first ? " on the first page" : " on page 1"));
      site.ClearRequests();
      RecordingPort port(Utf8ToLocal(keyword));
      ShortReads shortReads;
      auto cancelled = std::make_shared<std::atomic<bool>>(false);
      SearchJob job;
      job.port = &port;
      job.siteBase = site.BaseAddress();
      job.observer = &shortReads;
      job.cancelled = cancelled;
      job.fetch = [](const Text& url, const std::atomic<bool>& stop) {
        FetchWatch watch;
        watch.cancel = &stop;
        watch.connectTimeout = std::chrono::milliseconds(hostile::kConnectTimeoutMs);
        watch.noProgressTimeout = std::chrono::milliseconds(hostile::kNoProgressTimeoutMs);
        return FetchPageText(url, watch);
      };
      // A hang shows as a search still running long after every timeout; it is then cancelled,
      // so that the test ends either way.
      auto done = std::async(std::launch::async, [&] { SearchWorker(job); });
      const bool ended = done.wait_for(std::chrono::seconds(120)) == std::future_status::ready;
      if (!ended) cancelled->store(true);
      done.wait();
      ASSERT_TRUE(ended) << "the search did not end";

      std::vector<ResultRow> expected;
      for (const int page : hostile::PagesKept(mode, first)) {
        for (const auto& r : hostile::ShownRows(mode, first, page)) expected.push_back(testing::ListedRow(r));
      }
      EXPECT_EQ(port.Rows(), expected);

      const bool noCount = first && hostile::GivesNothing(hostile::OutcomeOn(mode, true));
      std::vector<std::string> asked{site::PagePath(keyword, 0)};
      if (!noCount) {
        asked.push_back(site::PagePath(keyword, 1));
        asked.push_back(site::PagePath(keyword, 2));
      }
      EXPECT_EQ(PagesAskedFor(site.Requests()), asked);

      const bool short1 = hostile::OutcomeOn(mode, first) == Outcome::ReadShort;
      EXPECT_EQ(shortReads.Pages(), short1 ? std::vector<int>{1} : std::vector<int>{});
    }
  }
}

}  // namespace
}  // namespace korvane
