#include "sample-site/HostilePages.h"
#include "sample-site/SitePages.h"

#include "ClientReading.h"

#include <gtest/gtest.h>

#include <chrono>
#include <regex>
#include <set>

namespace korvane::site {
namespace {

using testing::CutRows;
using testing::IsValidUtf8;
using testing::LinkedPages;
using testing::ReadAsClient;
using testing::ReadCount;

const std::string kDefaultKeyword = "速度与激情7";

std::string Page(const std::string& keyword, int page) {
  return RenderPage(ParseKeyword(keyword), PageAddress{keyword, page > 0, page});
}

TEST(SitePages, TheTestPatternIsTheClientsText) {
  // Guards the transcription the other tests rely on: 270 characters in all.
  EXPECT_EQ(testing::CodePoints(testing::kResultRowPattern), 270u);
  EXPECT_EQ(testing::kPageCountPattern.size(), 21u);
}

TEST(SitePages, ResultBlockHasTheRowLayout) {
  const SiteRow row{"0123456789ABCDEF0123456789ABCDEF01234567", "速度与激情7 1080p", "1.37 GB",
                    "12", "2015-04-03"};
  const std::string expected =
      "<li><div class=\"T1\"><a href=\"/read/0123456789ABCDEF0123456789ABCDEF01234567.html\" "
      "target=\"_blank\">速度与激情7 1080p</a></div>\n"
      "\t\t    <dl class=\"BotInfo\">\n"
      "\n"
      "<dt>大小:<span>1.37 GB  </span> &nbsp;&nbsp;&nbsp;&nbsp;文件数:<span>12 </span> "
      "&nbsp;&nbsp;&nbsp;&nbsp;创建日期:<span> \n"
      "<span class=\"ctime\">2015-04-03</span></span></dt>\n"
      "</dl>\n"
      "<div class=\"dInfo\"><a href=\"magnet:?xt=urn:btih:0123456789ABCDEF0123456789ABCDEF01234567"
      "\">磁力链接</a></div>\n"
      "</li>\n";
  EXPECT_EQ(ResultBlock(row), expected);
  EXPECT_EQ(CutRows(expected), std::vector{row});
}

struct CountCase {
  std::string keyword;
  int count;
  std::vector<int> links;  // numbered-page links of the first page, in document order
};

TEST(SitePages, FirstPageAnnouncesTheCountInItsLastLink) {
  const std::vector<CountCase> cases = {
      {kDefaultKeyword, 2, {1, 2, 2, 2}},
      {"abc", 2, {1, 2, 2, 2}},
      {"abc#pages=0", 0, {}},
      {"abc#pages=1", 1, {1}},
      {"abc#pages=2", 2, {1, 2, 2, 2}},
      {"abc#pages=3", 3, {1, 2, 3, 2, 3}},  // "next page" to 2 stands before the last link
      {"abc#pages=5", 5, {1, 2, 3, 4, 5, 2, 5}},
      {"abc#pages=40", 40, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 2, 40}},
      {"abc#pages=2000000", 1000000, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 2, 1000000}},
      {"", 0, {}},
      {"   ", 0, {}},
      {"   #pages=1", 1, {1}},
      // The keyword's own "_1" is not followed by ".html", so the link's number still wins.
      {"a_1#pages=7", 7, {1, 2, 3, 4, 5, 6, 7, 2, 7}},
      // Not a directive: the words stay in the keyword and the default applies.
      {"x#pages=abc", 2, {1, 2, 2, 2}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.keyword);
    EXPECT_EQ(PageCountOf(c.keyword), c.count);
    const std::string first = ReadAsClient(Page(c.keyword, 0));
    EXPECT_EQ(LinkedPages(first), c.links);
    EXPECT_EQ(ReadCount(first), c.count);
    // Numbered pages carry a pager too; its last link also names page N.
    for (int n : {1, c.count}) {
      if (n >= 1) {
        EXPECT_EQ(ReadCount(ReadAsClient(Page(c.keyword, n))), c.count) << n;
      }
    }
  }
}

TEST(SitePages, LinksCarryTheKeywordPercentEncoded) {
  const std::string raw = Page(kDefaultKeyword, 0);
  EXPECT_NE(raw.find("href=\"/word/%E9%80%9F%E5%BA%A6%E4%B8%8E%E6%BF%80%E6%83%85%37_2.html\""),
            std::string::npos);
  EXPECT_EQ(raw.find("href=\"/word/速度"), std::string::npos);
  EXPECT_NE(ReadAsClient(raw).find("href=\"/word/速度与激情7_2.html\""), std::string::npos);
  // Directives ride along in the links, so numbered pages keep them.
  EXPECT_NE(Page("abc#pages=3", 0).find(PercentEncodeAll("abc#pages=3") + "_3.html"),
            std::string::npos);
}

bool PlausibleDate(const std::string& date) {
  static const std::regex shape(R"(\d{4}-\d{2}-\d{2})");
  if (!std::regex_match(date, shape)) return false;
  using namespace std::chrono;
  const year_month_day ymd{year(std::stoi(date.substr(0, 4))),
                           month(unsigned(std::stoi(date.substr(5, 2)))),
                           day(unsigned(std::stoi(date.substr(8, 2))))};
  return ymd.ok() && ymd >= 2010y / January / 1 && ymd <= 2024y / December / 31;
}

TEST(SitePages, RowsAreDeterministicPlausibleAndReadBack) {
  const std::regex hash("[0-9A-F]{40}");
  const std::regex size(R"(\d+\.\d\d (GB|MB))");
  const std::regex files("[1-9][0-9]*");
  const std::vector<std::pair<std::string, std::string>> cases = {
      // keyword, what the names show of it once the client has percent-decoded the page
      {kDefaultKeyword, kDefaultKeyword},
      {"abc", "abc"},
      {"100% 纯净版", "100% 纯净版"},             // "%" survives the client's decoding
      {"Tom & <Jerry>", "Tom &amp; &lt;Jerry&gt;"},  // HTML text, never raw markup
      {"C#", "C#"},
      {"x#pages=4#rows=9", "x"},
      {"  padded  ", "padded"},
      {"line\nbreak\ttab", "line break tab"},  // a line feed in a name would break its row
      {"bad\xFF" "byte", "bad\xEF\xBF\xBD" "byte"},
  };
  std::set<std::string> allHashes;
  for (const auto& [keyword, shown] : cases) {
    SCOPED_TRACE(keyword);
    const int n = PageCountOf(keyword);
    for (int page = 1; page <= std::min(n, 3); ++page) {
      const std::string raw = Page(keyword, page);
      EXPECT_EQ(raw, Page(keyword, page)) << "not deterministic";
      EXPECT_TRUE(IsValidUtf8(raw));
      EXPECT_EQ(raw.find('\r'), std::string::npos);
      const auto expected = PageRows(keyword, page);
      ASSERT_FALSE(expected.empty());
      EXPECT_EQ(CutRows(ReadAsClient(raw)), expected) << "page " << page;
      for (const auto& row : expected) {
        EXPECT_TRUE(std::regex_match(row.infoHash, hash)) << row.infoHash;
        EXPECT_TRUE(std::regex_match(row.size, size)) << row.size;
        EXPECT_TRUE(std::regex_match(row.files, files)) << row.files;
        EXPECT_TRUE(PlausibleDate(row.date)) << row.date;
        EXPECT_NE(row.name.find(shown), std::string::npos) << row.name;
        EXPECT_TRUE(allHashes.insert(row.infoHash).second) << "repeated hash " << row.infoHash;
      }
    }
  }
}

TEST(SitePages, FirstPageShowsPageOnesRows) {
  // The client lists only numbered pages; a first page with rows of its own shows it does.
  EXPECT_EQ(CutRows(ReadAsClient(Page(kDefaultKeyword, 0))), PageRows(kDefaultKeyword, 1));
  EXPECT_TRUE(CutRows(ReadAsClient(Page("abc#pages=0", 0))).empty());
}

TEST(SitePages, DefaultKeywordGivesTwoModestPages) {
  const auto first = PageRows(kDefaultKeyword, 1);
  const auto second = PageRows(kDefaultKeyword, 2);
  EXPECT_GE(first.size(), 4u);
  EXPECT_LE(first.size(), 7u);
  EXPECT_GE(second.size(), 1u);
  EXPECT_LT(second.size(), first.size());
  EXPECT_NE(first.front(), second.front());
}

TEST(SitePages, RowCountsFollowThePlan) {
  struct Case {
    std::string keyword;
    std::vector<size_t> rowsPerPage;  // pages 0 (beyond the first: none), 1, 2, ...
  };
  const std::vector<Case> cases = {
      {"abc#pages=3#rows=9", {0, 9, 9, 9, 0}},
      {"abc#pages=2#rows=0", {0, 0, 0, 0}},
      {"abc#pages=0", {0, 0, 0}},
      {"abc#pages=1#rows=500", {0, 500, 0}},
      {"abc#pages=1#rows=501", {0, 500, 0}},  // capped
  };
  for (const auto& c : cases) {
    for (size_t page = 0; page < c.rowsPerPage.size(); ++page) {
      EXPECT_EQ(PageRows(c.keyword, int(page)).size(), c.rowsPerPage[page])
          << c.keyword << " page " << page;
    }
  }
}

TEST(SitePages, EmptyHashRowReadsAsTheBarePrefix) {
  const std::string keyword = "abc#rows=3#emptyhash=2";
  const auto rows = PageRows(keyword, 1);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_FALSE(rows[0].infoHash.empty());
  EXPECT_TRUE(rows[1].infoHash.empty());
  EXPECT_FALSE(rows[2].infoHash.empty());
  const std::string decoded = ReadAsClient(Page(keyword, 1));
  EXPECT_NE(decoded.find("/read/.html"), std::string::npos);
  EXPECT_NE(decoded.find("\"magnet:?xt=urn:btih:\""), std::string::npos);
  EXPECT_EQ(CutRows(decoded), rows);
}

TEST(SitePages, PagesBeyondTheCountAreEmptyButWellFormed) {
  for (int page : {3, 4, 1000}) {
    const std::string decoded = ReadAsClient(Page(kDefaultKeyword, page));
    EXPECT_TRUE(CutRows(decoded).empty()) << page;
    EXPECT_EQ(ReadCount(decoded), 2) << page;
  }
}

struct PathCase {
  std::string target;
  std::optional<PageAddress> expected;
};

bool operator==(const PageAddress& a, const PageAddress& b) {
  return a.keyword == b.keyword && a.numbered == b.numbered && a.number == b.number;
}

TEST(SitePages, ParsePagePath) {
  const std::vector<PathCase> cases = {
      {"/word/%E9%80%9F.html", PageAddress{"速", false, 0}},
      {"/word/%E9%80%9F_2.html", PageAddress{"速", true, 2}},
      {"/word/%E9%80%9F_2.html?hop=1", PageAddress{"速", true, 2}},
      // An encoded underscore belongs to the keyword; a literal one starts the page number.
      {"/word/%61%5F%31.html", PageAddress{"a_1", false, 0}},
      {"/word/%61%5F%31_7.html", PageAddress{"a_1", true, 7}},
      {"/word/a_1.html", PageAddress{"a", true, 1}},
      {"/word/a_01.html", PageAddress{"a", true, 1}},
      {"/word/a_.html", PageAddress{"a_", false, 0}},
      {"/word/a_x1.html", PageAddress{"a_x1", false, 0}},
      {"/word/.html", PageAddress{"", false, 0}},
      {"/word/_3.html", PageAddress{"", true, 3}},
      {"/word/%zz%4.html", PageAddress{"%zz%4", false, 0}},
      {"/word/%23pages%3D5.html", PageAddress{"#pages=5", false, 0}},
      {"/word/a_99999999999.html", PageAddress{"a", true, 2147483647}},
      {"http://127.0.0.1:8080/word/%61_2.html", PageAddress{"a", true, 2}},
      {"http://127.0.0.1:8080", std::nullopt},
      {"/word/x.htm", std::nullopt},
      {"/word/", std::nullopt},
      {"/read/abc.html", std::nullopt},
      {"/", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& c : cases) {
    const auto got = ParsePagePath(c.target);
    ASSERT_EQ(got.has_value(), c.expected.has_value()) << c.target;
    if (got) {
      EXPECT_TRUE(*got == *c.expected) << c.target << " -> " << got->keyword;
    }
  }
}

TEST(SitePages, PagePathIsTheClientsAddress) {
  EXPECT_EQ(PagePath(kDefaultKeyword, 0),
            "/word/%E9%80%9F%E5%BA%A6%E4%B8%8E%E6%BF%80%E6%83%85%37.html");
  EXPECT_EQ(PagePath(kDefaultKeyword, 1),
            "/word/%E9%80%9F%E5%BA%A6%E4%B8%8E%E6%BF%80%E6%83%85%37_1.html");
  EXPECT_EQ(PagePath("", 0), "/word/.html");
  for (const std::string keyword : {"a_1", "速度与激情7#pages=5", "%41", ""}) {
    for (int page : {0, 1, 12}) {
      const auto back = ParsePagePath(PagePath(keyword, page));
      ASSERT_TRUE(back.has_value());
      EXPECT_TRUE(*back == (PageAddress{keyword, page > 0, page})) << keyword << " " << page;
    }
  }
}

TEST(SitePages, PercentCodecs) {
  EXPECT_EQ(PercentEncodeAll("a_1 %"), "%61%5F%31%20%25");
  EXPECT_EQ(PercentEncodeAll(std::string("\0\xFF", 2)), "%00%FF");
  EXPECT_EQ(PercentDecode("%e9%80%9F+x%"), "\xE9\x80\x9F+x%");
  EXPECT_EQ(PercentDecode("%2"), "%2");
  EXPECT_EQ(EscapePercent("100%25%"), "100%2525%25");
}

// --- misbehaving pages -------------------------------------------------------------------

TEST(HostilePages, BadUtf8PageKeepsItsRowsButIsNotUtf8) {
  const KeywordPlan plan = ParseKeyword("abc#rows=9");
  const std::string raw = RenderBadUtf8Page(plan, PageAddress{plan.keyword, true, 1});
  EXPECT_FALSE(IsValidUtf8(raw));
  // Every sequence is itself invalid, so each row's name carries a fault.
  for (const auto seq : BadUtf8Sequences()) EXPECT_FALSE(IsValidUtf8(std::string(seq)));

  const std::string decoded = ReadAsClient(raw);
  EXPECT_NE(decoded.find("\xFF\xC0\xAF"), std::string::npos) << "percent-encoded bad bytes";
  const auto got = CutRows(decoded);
  const auto expected = PageRows(plan, 1);
  ASSERT_EQ(got.size(), expected.size());
  for (size_t i = 0; i < got.size(); ++i) {
    const auto seq = BadUtf8Sequences()[i % BadUtf8Sequences().size()];
    EXPECT_EQ(got[i].name, std::string(seq) + expected[i].name);
    EXPECT_EQ(got[i].infoHash, expected[i].infoHash);
    EXPECT_EQ(got[i].date, expected[i].date);
  }
}

TEST(HostilePages, BacktrackPageHasUnclosedHeadsOnOneLine) {
  const KeywordPlan plan = ParseKeyword("abc");
  const int blocks = 300;
  const std::string decoded =
      ReadAsClient(RenderBacktrackPage(plan, PageAddress{plan.keyword, true, 1}, blocks));
  const std::string head = "<li><div class=\"T1\"><a href=\"/read/";
  size_t heads = 0;
  for (size_t at = decoded.find(head); at != std::string::npos; at = decoded.find(head, at + 1)) {
    ++heads;
  }
  const auto rows = PageRows(plan, 1);
  EXPECT_EQ(heads, rows.size() + blocks);

  // The heads sit on the line after the last ordinary block, and every one of them runs up to
  // the name's closing tags but never into the line feed and "<dl" that a block needs next.
  const std::string lastBlock = ResultBlock(rows.back());
  const size_t lineStart = decoded.find(lastBlock) + lastBlock.size();
  const size_t lineEnd = decoded.find('\n', lineStart);
  const std::string line = decoded.substr(lineStart, lineEnd - lineStart);
  EXPECT_TRUE(line.starts_with(head));
  EXPECT_TRUE(line.ends_with("</a></div>"));
  EXPECT_EQ(decoded.compare(lineEnd, 6, "\n</ul>"), 0);
  size_t closes = 0;
  for (size_t at = line.find("</a></div><li>"); at != std::string::npos;
       at = line.find("</a></div><li>", at + 1)) {
    ++closes;
  }
  EXPECT_EQ(closes, size_t(blocks) - 1);

  // Without that line the page reads as usual.
  std::string rest = decoded;
  rest.erase(lineStart, lineEnd + 1 - lineStart);
  EXPECT_EQ(CutRows(rest), rows);
}

TEST(HostilePages, HugePageReadsTheSameInAnyChunks) {
  const KeywordPlan plan = ParseKeyword("abc");
  const PageAddress first{plan.keyword, false, 0};
  const HugePage page(plan, first, 1 << 20);
  ASSERT_EQ(page.Size(), uint64_t(1) << 20);

  std::string whole;
  page.Read(0, 2 << 20, whole);  // clipped at the end
  ASSERT_EQ(whole.size(), size_t(1) << 20);
  for (size_t chunk : {1u, 7u, 4096u, 65536u}) {
    std::string pieces;
    for (uint64_t at = 0; at < page.Size(); at += chunk) page.Read(at, chunk, pieces);
    EXPECT_TRUE(pieces == whole) << "chunk " << chunk;
  }

  const std::string ordinary = RenderPage(plan, first);
  const PageParts parts = RenderPageParts(plan, first, PageRows(plan, 1));
  EXPECT_TRUE(whole.starts_with(parts.head + parts.blocks));
  EXPECT_TRUE(whole.ends_with("\n" + parts.tail));
  EXPECT_EQ(CutRows(ReadAsClient(whole)), PageRows(plan, 1));
  EXPECT_EQ(ReadCount(ReadAsClient(whole)), 2);

  // Asked for less than its content, the page is just the ordinary one plus a line feed.
  const HugePage tiny(plan, first, 10);
  std::string small;
  tiny.Read(0, size_t(tiny.Size()), small);
  EXPECT_EQ(small.size(), ordinary.size() + 1);
  EXPECT_EQ(CutRows(ReadAsClient(small)), PageRows(plan, 1));
}

}  // namespace
}  // namespace korvane::site
