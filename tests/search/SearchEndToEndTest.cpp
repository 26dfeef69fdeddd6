// Whole searches through the real HTTP stack against the sample site on loopback.
#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <thread>

#include "KeywordPort.h"
#include "http/WebRequest.h"
#include "sample-site/SampleSite.h"
#include "support/ListedRows.h"
#include "sample-site/SitePages.h"
#include "search/SearchLauncher.h"
#include "search/SearchWorker.h"
#include "search/TextCodecs.h"

namespace korvane {
namespace {

using testing::KeywordPort;

class SearchEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(site.Start(0)) << site.Error(); }

  // Runs one search for the keywords (UTF-8), read in turn.
  std::vector<ResultRow> Search(const std::vector<std::string>& utf8Keywords) {
    std::vector<Text> local;
    for (const auto& k : utf8Keywords) local.push_back(Utf8ToLocal(k));
    KeywordPort port(local);
    SearchJob job;
    job.port = &port;
    job.siteBase = site.BaseAddress();
    job.fetch = [](const Text& url, const std::atomic<bool>& cancelled) {
      return FetchPageText(url, &cancelled, nullptr);
    };
    SearchWorker(job);
    return port.Rows();
  }

  site::SampleSite site;
};

TEST_F(SearchEndToEnd, LoopRuleRequestsAndRows) {
  struct Case {
    std::string keyword;
    std::vector<int> pages;  // 0 is the first page
  };
  const Case cases[] = {
      {"kw#pages=0", {0}},
      {"kw#pages=1", {0, 1}},
      {"\xE9\x80\x9F\xE5\xBA\xA6\xE4\xB8\x8E\xE6\xBF\x80\xE6\x83\x85" "7", {0, 1, 2}},  // 速度与激情7: two pages
      {"kw#pages=5", {0, 1}},
  };
  for (const auto& c : cases) {
    site.ClearRequests();
    const auto rows = Search({c.keyword});
    std::vector<std::string> expectedPaths;
    std::vector<ResultRow> expectedRows;
    for (const int p : c.pages) {
      expectedPaths.push_back(site::PagePath(c.keyword, p));
      if (p == 0) continue;
      for (const auto& r : site::PageRows(c.keyword, p)) expectedRows.push_back(testing::ListedRow(r));
    }
    EXPECT_EQ(site.Requests(), expectedPaths) << c.keyword;
    EXPECT_EQ(rows, expectedRows) << c.keyword;
    EXPECT_EQ(rows.empty(), c.pages.size() == 1) << c.keyword;
  }
}

TEST_F(SearchEndToEnd, KeywordChangedDuringTheSearchIsUsedForTheFollowingPages) {
  const auto rows = Search({"first#pages=2", "second#pages=2"});
  EXPECT_EQ(site.Requests(), (std::vector<std::string>{site::PagePath("first#pages=2", 0),
                                                       site::PagePath("second#pages=2", 1),
                                                       site::PagePath("second#pages=2", 2)}));
  EXPECT_EQ(rows, testing::ListedRows("second#pages=2", {1, 2}));
}

TEST_F(SearchEndToEnd, FailedFirstNumberedPageStillLetsPageTwoBeListed) {
  for (const std::string fault : {"reset", "500", "cut"}) {
    const std::string keyword = "kw#pages=2#fault=" + fault + "@1";
    site.ClearRequests();
    const auto rows = Search({keyword});
    // A connection reset on a reused connection is retried once on a fresh one, as HTTP allows for
    // a GET: count the pages, not the attempts.
    auto requests = site.Requests();
    requests.erase(std::unique(requests.begin(), requests.end()), requests.end());
    EXPECT_EQ(requests, (std::vector<std::string>{site::PagePath(keyword, 0), site::PagePath(keyword, 1),
                                                  site::PagePath(keyword, 2)}))
        << fault;
    EXPECT_EQ(rows, testing::ListedRows(keyword, {2})) << fault;
  }
}

TEST_F(SearchEndToEnd, EmptyInfoHashStillGivesARow) {
  const auto rows = Search({"kw#pages=1#emptyhash=1"});
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(rows[0].magnet, "magnet:?xt=urn:btih:");
  EXPECT_FALSE(rows[0].name.empty());
}

// A port whose rows outlive it, and that tells when the search that owns it has ended.
struct SharedRows {
  std::mutex mutex;
  std::vector<ResultRow> rows;
  bool ended = false;
};

class OwnedPort : public KeywordPort {
 public:
  OwnedPort(std::vector<Text> keywords, std::shared_ptr<SharedRows> shared)
      : KeywordPort(std::move(keywords)), shared_(std::move(shared)) {}
  ~OwnedPort() override {
    std::lock_guard lock(shared_->mutex);
    shared_->rows = Rows();
    shared_->ended = true;
  }

 private:
  std::shared_ptr<SharedRows> shared_;
};

TEST_F(SearchEndToEnd, NewerSearchEndsTheOlderOne) {
  SearchLauncher launcher;
  auto fetch = [](const Text& url, const std::atomic<bool>& cancelled) {
    return FetchPageText(url, &cancelled, nullptr);
  };
  // The older search waits on a numbered page that the site holds back for 20 s.
  const std::string slow = "slow#pages=1#delay=20000@1";
  auto older = std::make_shared<SharedRows>();
  ASSERT_TRUE(launcher.Start(std::make_unique<OwnedPort>(std::vector<Text>{slow}, older), fetch, site.BaseAddress()));
  for (int i = 0; i < 500 && site.Requests().size() < 2; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_EQ(site.Requests().size(), 2u);

  auto newer = std::make_shared<SharedRows>();
  ASSERT_TRUE(launcher.Start(std::make_unique<OwnedPort>(std::vector<Text>{"kw#pages=1"}, newer), fetch,
                             site.BaseAddress()));
  // Both end well before the held-back page would have come: the older one aborted its transfer.
  auto ended = [](SharedRows& s) {
    std::lock_guard lock(s.mutex);
    return s.ended;
  };
  for (int i = 0; i < 1000 && !(ended(*older) && ended(*newer)); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_TRUE(ended(*older));
  ASSERT_TRUE(ended(*newer));
  EXPECT_TRUE(older->rows.empty());
  EXPECT_EQ(newer->rows, testing::ListedRows("kw#pages=1", {1}));
}

}  // namespace
}  // namespace korvane
