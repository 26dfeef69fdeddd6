// The search worker against pages held in memory: the loop rule, the keyword read per page,
// failed pages, cancellation.
#include "search/SearchWorker.h"

#include <gtest/gtest.h>

#include <map>
#include <mutex>

#include "regex/RegexObject.h"
#include "search/TextCodecs.h"

namespace korvane {
namespace {

// A result block in the site's markup (UTF-8).
std::string Block(const std::string& hash, const std::string& name) {
  return "<li><div class=\"T1\"><a href=\"/read/" + hash + ".html\" target=\"_blank\">" + name +
         "</a></div>\n\t\t    <dl class=\"BotInfo\">\n\n<dt>\xE5\xA4\xA7\xE5\xB0\x8F:<span>1.5 GB  </span> "
         "&nbsp;&nbsp;&nbsp;&nbsp;\xE6\x96\x87\xE4\xBB\xB6\xE6\x95\xB0:<span>3 </span> &nbsp;&nbsp;&nbsp;&nbsp;"
         "\xE5\x88\x9B\xE5\xBB\xBA\xE6\x97\xA5\xE6\x9C\x9F:<span> \n<span class=\"ctime\">2015-04-03</span></dt>"
         "</dl><a href=\"#\">x</a></div></li>\n";
}

std::string FirstPage(const std::string& encodedKeyword, int pages) {
  std::string page = "<html><body>\n";
  for (int n = 1; n <= pages; ++n) page += "<a href=\"/word/" + encodedKeyword + "_" + std::to_string(n) + ".html\">" + std::to_string(n) + "</a>\n";
  return page + "</body></html>\n";
}

class RecordingPort : public ControlPort {
 public:
  std::vector<Text> keywords{"kw"};  // read in turn; the last one stays
  std::vector<ResultRow> rows;
  int reads = 0;

  Text ReadKeyword() override {
    const auto i = std::min<std::size_t>(static_cast<std::size_t>(reads++), keywords.size() - 1);
    return keywords[i];
  }
  void ClearRows() override { rows.clear(); }
  int AppendRow() override {
    rows.emplace_back();
    return static_cast<int>(rows.size()) - 1;
  }
  void SetCellText(int, int, const Text&) override { ADD_FAILURE() << "rows are written whole"; }
  int AppendResultRow(const ResultRow& row) override {
    rows.push_back(row);
    return static_cast<int>(rows.size()) - 1;
  }
};

struct FakeSite {
  std::map<Text, Text> pages;
  std::vector<Text> requested;
  std::function<void(const Text&)> onRequest;

  PageFetcher Fetcher() {
    return [this](const Text& url, const std::atomic<bool>&) {
      requested.push_back(url);
      if (onRequest) onRequest(url);
      const auto it = pages.find(url);
      return it == pages.end() ? Text() : it->second;
    };
  }
};

constexpr const char* kBase = "http://site.test";
const Text kKw = "%6B%77";  // "kw", every byte encoded

Text First(const Text& enc = kKw) { return FirstPageAddress(kBase, enc); }
Text Numbered(int n, const Text& enc = kKw) { return NumberedPageAddress(kBase, enc, n); }

SearchJob Job(RecordingPort& port, FakeSite& site) {
  SearchJob job;
  job.port = &port;
  job.fetch = site.Fetcher();
  job.siteBase = kBase;
  return job;
}

TEST(SearchWorker, Addresses) {
  EXPECT_EQ(FirstPageAddress("http://h", "%41"), "http://h/word/%41.html");
  EXPECT_EQ(NumberedPageAddress("http://h", "%41", 12), "http://h/word/%41_12.html");
  EXPECT_EQ(FirstPageAddress("http://h", ""), "http://h/word/.html");
}

TEST(SearchWorker, LoopRule) {
  struct Case {
    int announced;
    std::vector<int> numberedPages;  // fetched after the first page
  };
  const Case cases[] = {{0, {}}, {1, {1}}, {2, {1, 2}}, {3, {1}}, {5, {1}}};
  for (const auto& c : cases) {
    FakeSite site;
    site.pages[First()] = FirstPage(kKw, c.announced);
    for (int n = 1; n <= 5; ++n) site.pages[Numbered(n)] = Block("h" + std::to_string(n) + "a", "p" + std::to_string(n)) + Block("h" + std::to_string(n) + "b", "q");
    RecordingPort port;
    SearchWorker(Job(port, site));

    std::vector<Text> expected{First()};
    std::vector<Text> names;
    for (const int n : c.numberedPages) {
      expected.push_back(Numbered(n));
      names.push_back("p" + std::to_string(n));
      names.push_back("q");
    }
    EXPECT_EQ(site.requested, expected) << "announced " << c.announced;
    std::vector<Text> got;
    for (const auto& r : port.rows) got.push_back(r.name);
    EXPECT_EQ(got, names) << "announced " << c.announced;
  }
}

TEST(SearchWorker, RowCellsInColumnOrder) {
  FakeSite site;
  site.pages[First()] = FirstPage(kKw, 1);
  site.pages[Numbered(1)] = Block("abc123", "\xE9\x80\x9F" "7") + Block("", "empty hash");
  RecordingPort port;
  SearchWorker(Job(port, site));
  ASSERT_EQ(port.rows.size(), 2u);
  EXPECT_EQ(port.rows[0], (ResultRow{"\xCB\xD9" "7", "1.5 GB", "3", "2015-04-03", "magnet:?xt=urn:btih:abc123"}));
  EXPECT_EQ(port.rows[1].magnet, "magnet:?xt=urn:btih:");  // an empty info-hash still gives a row
}

TEST(SearchWorker, KeywordIsReadAgainForEveryPage) {
  const Text other = UrlEncode("x", false, true);
  FakeSite site;
  site.pages[First()] = FirstPage(kKw, 2);
  site.pages[Numbered(1, other)] = Block("a", "one");
  site.pages[Numbered(2, other)] = Block("b", "two");
  RecordingPort port;
  port.keywords = {"kw", "x"};
  SearchWorker(Job(port, site));
  EXPECT_EQ(site.requested, (std::vector<Text>{First(), Numbered(1, other), Numbered(2, other)}));
  EXPECT_EQ(port.rows.size(), 2u);
}

TEST(SearchWorker, FailedPageAddsNothingAndTheLoopGoesOn) {
  FakeSite site;
  site.pages[First()] = FirstPage(kKw, 2);
  site.pages[Numbered(2)] = Block("b", "two");  // page 1 fails: empty text
  RecordingPort port;
  SearchWorker(Job(port, site));
  EXPECT_EQ(site.requested, (std::vector<Text>{First(), Numbered(1), Numbered(2)}));
  ASSERT_EQ(port.rows.size(), 1u);
  EXPECT_EQ(port.rows[0].name, "two");
}

TEST(SearchWorker, FailedFirstPageEndsTheSearch) {
  FakeSite site;
  RecordingPort port;
  SearchWorker(Job(port, site));
  EXPECT_EQ(site.requested, std::vector<Text>{First()});
  EXPECT_TRUE(port.rows.empty());
}

class ShortReads : public SearchObserver {
 public:
  std::vector<int> pages;
  void PageReadShort(int page) override { pages.push_back(page); }
};

TEST(SearchWorker, PagesThePatternsGiveUpOnAreReported) {
  // A result-block head that never goes on to the block's second line: a line of them makes the
  // row pattern try every later head from every earlier one, until the matcher's limit.
  std::string heads;
  while (heads.size() < 1'000'000) heads += "<li><div class=\"T1\"><a href=\"/read/h.html\" target=\"_blank\">n</a></div>";
  FakeSite site;
  site.pages[First()] = FirstPage(kKw, 2);
  site.pages[Numbered(1)] = Block("a", "one") + heads + "\n" + Block("b", "two");
  site.pages[Numbered(2)] = Block("c", "three");
  RecordingPort port;
  ShortReads shortReads;
  SearchJob job = Job(port, site);
  job.observer = &shortReads;
  SearchWorker(job);
  // Page 1 keeps the row before the heads; page 2 is read whole.
  ASSERT_EQ(port.rows.size(), 2u);
  EXPECT_EQ(port.rows[0].name, "one");
  EXPECT_EQ(port.rows[1].name, "three");
  EXPECT_EQ(shortReads.pages, std::vector<int>{1});

  // A first page whose page-link pattern gives up at once: no count, and that is said.
  site.pages[First()] = "<a href=\"/word/" + std::string(3'000'000, 'x') + "\n" + FirstPage(kKw, 2);
  site.requested.clear();
  port.rows.clear();
  shortReads.pages.clear();
  SearchWorker(job);
  EXPECT_EQ(site.requested, std::vector<Text>{First()});
  EXPECT_EQ(shortReads.pages, std::vector<int>{0});
}

TEST(SearchWorker, EmptyKeywordAsksForTheBareAddress) {
  FakeSite site;
  RecordingPort port;
  port.keywords = {""};
  SearchWorker(Job(port, site));
  EXPECT_EQ(site.requested, std::vector<Text>{Text(kBase) + "/word/.html"});
}

TEST(SearchWorker, CancelledSearchStopsAtItsNextStep) {
  FakeSite site;
  site.pages[First()] = FirstPage(kKw, 2);
  site.pages[Numbered(1)] = Block("a", "one") + Block("b", "two");
  site.pages[Numbered(2)] = Block("c", "three");
  auto cancelled = std::make_shared<std::atomic<bool>>(false);
  // Cancelled while page 1 is being fetched: its rows and page 2 never come.
  site.onRequest = [&](const Text& url) {
    if (url == Numbered(1)) cancelled->store(true);
  };
  RecordingPort port;
  SearchJob job = Job(port, site);
  job.cancelled = cancelled;
  SearchWorker(job);
  EXPECT_EQ(site.requested, (std::vector<Text>{First(), Numbered(1)}));
  EXPECT_TRUE(port.rows.empty());
}

}  // namespace
}  // namespace korvane
