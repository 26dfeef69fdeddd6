#include "search/PageRules.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "search/TextCodecs.h"
#include "text/CodePage.h"
#include "text/TextOps.h"

namespace korvane {

// Rows print as their five cells (in 936) when a comparison fails.
void PrintTo(const ResultRow& row, std::ostream* os) {
  *os << "{" << ::testing::PrintToString(row.name) << ", " << ::testing::PrintToString(row.size) << ", "
      << ::testing::PrintToString(row.files) << ", " << ::testing::PrintToString(row.date) << ", "
      << ::testing::PrintToString(row.magnet) << "}";
}

namespace {

// A page fixture as the search hands it over: the body percent-decoded and read as UTF-8 into 936.
Text DecodedPage(const std::string& name) {
  std::ifstream in(std::string(KORVANE_TEST_DATA) + "/pages/" + name, std::ios::binary);
  EXPECT_TRUE(in.good()) << name;
  std::ostringstream body;
  body << in.rdbuf();
  return UrlDecode(body.str(), true);
}

// Expected texts are written in UTF-8 here and compared in 936.
Text L(const char* utf8) { return Utf8ToLocal(utf8); }

ResultRow Row(const char* hash, const char* name, const char* size, const char* files, const char* date) {
  return {L(name), L(size), L(files), L(date), L("magnet:?xt=urn:btih:") + L(hash)};
}

TEST(PageRules, PatternsAsTheSiteNeedsThem) {
  EXPECT_EQ(MultiByteToWide(kCodePage936, PageCountPattern).size(), 21u);
  EXPECT_EQ(MultiByteToWide(kCodePage936, ResultRowPattern).size(), 270u);
  // The one-piece form, spelled in UTF-8 with the Chinese labels as characters.
  const char* const onePiece =
      "<li><div class=.*?><a href=\"/read/(.*?).html\" target=\"_blank\">(.*?)</a></div>\n\t\t    <dl "
      "class=\"BotInfo\">\n\n<dt>大小:<span>(.*?)  </span> &nbsp;&nbsp;&nbsp;&nbsp;文件数:<span>(.*?) </span> "
      "&nbsp;&nbsp;&nbsp;&nbsp;创建日期:<span> \n<span class=\"ctime\">(.*?)</span>[\\s|\\S]*?</a></div>";
  EXPECT_EQ(Text(ResultRowPattern), L(onePiece));
  EXPECT_EQ(MagnetLinkPrefix, "magnet:?xt=urn:btih:");
  RegexObject regex;
  EXPECT_TRUE(regex.Create(Text(ResultRowPattern), ""));
  EXPECT_TRUE(regex.Create(Text(PageCountPattern), ""));
}

TEST(PageRules, ReadPageCount) {
  struct Case {
    const char* fixture;
    int count;
  };
  const Case cases[] = {
      {"count_2_3_2.html", 2},               // the last link, not the largest number
      {"count_keyword_underscore.html", 7},  // keyword a_1, page 7
      {"count_none.html", 0},
      {"rows_two.html", 1},
  };
  RegexObject regex;
  for (const auto& c : cases) EXPECT_EQ(ReadPageCount(regex, DecodedPage(c.fixture)), c.count) << c.fixture;
  EXPECT_EQ(ReadPageCount(regex, ""), 0);
  // The number as the site writes it, saturated at the integer's ceiling.
  EXPECT_EQ(ReadPageCount(regex, "/word/k_007.html"), 7);
  EXPECT_EQ(ReadPageCount(regex, "/WORD/k_12.HTML"), 12);
  EXPECT_EQ(ReadPageCount(regex, "/word/k_99999999999.html"), 2147483647);
}

TEST(PageRules, CutResultRows) {
  struct Case {
    const char* fixture;
    std::vector<ResultRow> rows;
  };
  const Case cases[] = {
      {"rows_two.html",
       {Row("3f2a9c1d7e6b5a4f3e2d1c0b9a8f7e6d5c4b3a29", "速度与激情7 [Furious 7]", "2.35 GB", "3", "2015-04-03"),
        // Entities and markup stay as they stand; the date runs to the first "</span>".
        Row("ABCDEF0123456789ABCDEF0123456789ABCDEF01", "Second &amp; last", "700 MB", "12", "2016-01-02 <b>12:00</b>")}},
      // Three spaces before "</span>": the size keeps one, and the space after "<span>".
      {"rows_three_spaces.html", {Row("00112233445566778899aabbccddeeff00112233", "Spaces", " 1.5 GB ", "1", "2020-02-02")}},
      {"rows_botinfo_caps.html", {Row("ffeeddccbbaa99887766554433221100ffeeddcc", "Capitals", "9 KB", "2", "2021-03-04")}},
      // No closing text: the block runs on to the next block's "</a></div>", which then starts no row.
      {"rows_unclosed.html", {Row("1111111111111111111111111111111111111111", "First", "1 MB", "1", "2019-01-01")}},
      {"rows_empty_hash.html", {Row("", "No hash", "3 MB", "3", "2019-03-03")}},
      {"count_2_3_2.html", {}},
  };
  RegexObject regex;
  for (const auto& c : cases) EXPECT_EQ(CutResultRows(regex, DecodedPage(c.fixture)), c.rows) << c.fixture;
  EXPECT_EQ(CutResultRows(regex, DecodedPage("rows_empty_hash.html")).at(0).magnet, "magnet:?xt=urn:btih:");
  EXPECT_TRUE(CutResultRows(regex, "").empty());
}

TEST(PageRules, CrLfBlocksDoNotMatch) {
  const Text page = DecodedPage("rows_two.html");
  RegexObject regex;
  ASSERT_EQ(CutResultRows(regex, page).size(), 2u);
  EXPECT_TRUE(CutResultRows(regex, Replace(page, "\n", "\r\n")).empty());
}

TEST(PageRules, EachCallReplacesTheObjectsMatches) {
  RegexObject regex;
  ASSERT_EQ(CutResultRows(regex, DecodedPage("rows_two.html")).size(), 2u);
  EXPECT_EQ(ReadPageCount(regex, DecodedPage("count_2_3_2.html")), 2);
  EXPECT_EQ(regex.MatchCount(), 3);
  EXPECT_TRUE(CutResultRows(regex, "nothing").empty());
  EXPECT_EQ(regex.MatchCount(), 0);
}

TEST(PageRules, BacktrackingPageEndsAsNoRows) {
  // A 1 MB line of result-block heads that never go on to the rest of a block: the lazy parts
  // could try every head against every other; the match limit ends the run instead.
  const std::string head =
      "<li><div class=\"T1\"><a href=\"/read/3f2a9c1d7e6b5a4f3e2d1c0b9a8f7e6d5c4b3a29.html\" "
      "target=\"_blank\">name</a></div>";
  std::string page;
  while (page.size() < 1'000'000) page += head;
  RegexObject regex;
  EXPECT_TRUE(CutResultRows(regex, page).empty());
  EXPECT_EQ(regex.MatchCount(), 0);
  EXPECT_FALSE(regex.Create(Text(ResultRowPattern), page));
  // The object is fine for the next page.
  EXPECT_EQ(CutResultRows(regex, DecodedPage("rows_two.html")).size(), 2u);
}

TEST(PageRules, RowsBeforeABacktrackingPartAreKept) {
  // The page's own blocks, then a line of heads that never close: the rows found before the
  // pattern gave up stay, and the caller learns that the page was not read to its end.
  const Text good = DecodedPage("rows_two.html");
  const std::string head =
      "<li><div class=\"T1\"><a href=\"/read/3f2a9c1d7e6b5a4f3e2d1c0b9a8f7e6d5c4b3a29.html\" "
      "target=\"_blank\">name</a></div>";
  std::string heads;
  while (heads.size() < 1'000'000) heads += head;
  const auto at = good.find("</ul>");
  ASSERT_NE(at, Text::npos);
  const Text page = good.substr(0, at) + heads + "\n" + good.substr(at);

  RegexObject regex;
  bool complete = true;
  const auto expected = CutResultRows(regex, good, &complete);
  ASSERT_EQ(expected.size(), 2u);
  EXPECT_TRUE(complete);
  EXPECT_EQ(CutResultRows(regex, page, &complete), expected);
  EXPECT_FALSE(complete);
  // The page-link pattern is not disturbed by the heads: it reads the whole page.
  EXPECT_EQ(ReadPageCount(regex, page, &complete), 1);
  EXPECT_TRUE(complete);
}

}  // namespace
}  // namespace korvane
