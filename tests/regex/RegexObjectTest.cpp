#include "regex/RegexObject.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "regex/CompiledRegex.h"

namespace korvane {
namespace {

constexpr char kZhong[] = "\xD6\xD0";        // 中
constexpr char kMarker[] = "#\xD2\xFD\xBA\xC5";  // #引号

TEST(RegexObject, QueriesBeforeCreateAreEmpty) {
  RegexObject regex;
  int position = 7;
  EXPECT_EQ(regex.MatchCount(), 0);
  EXPECT_EQ(regex.SubmatchCount(), 0);
  EXPECT_EQ(regex.GetPattern(), "");
  EXPECT_EQ(regex.Replace("x"), "");
  EXPECT_EQ(regex.MatchText(1, &position), "");
  EXPECT_EQ(position, -2);
  EXPECT_EQ(regex.SubmatchText(1, 1, &position), "");
  EXPECT_EQ(position, -2);
  regex.Reserved();
}

TEST(RegexObject, DefaultsAreCaseInsensitiveMultilineGlobal) {
  RegexObject regex;
  ASSERT_TRUE(regex.Create("botinfo", "<dl class=\"BotInfo\"> BOTINFO botinfo"));
  ASSERT_EQ(regex.MatchCount(), 3);
  EXPECT_EQ(regex.MatchText(1), "BotInfo");
  EXPECT_EQ(regex.MatchText(2), "BOTINFO");
  EXPECT_EQ(regex.MatchText(3), "botinfo");
  ASSERT_TRUE(regex.Create("^\\w", "ab\ncd"));
  EXPECT_EQ(regex.MatchCount(), 2);
}

TEST(RegexObject, GivenOptions) {
  struct Case {
    CreateOptions options;
    int count;
  };
  const Case cases[] = {
      {{.caseSensitive = true}, 1},                 // "ab" only
      {{.caseSensitive = false}, 3},
      {{.global = false}, 1},
      {{.multiline = false}, 3},                    // no anchors: multi-line changes nothing
      {{.caseSensitive = true, .global = false}, 1},
  };
  for (const auto& c : cases) {
    RegexObject regex;
    ASSERT_TRUE(regex.Create("ab", "ab AB aB", c.options));
    EXPECT_EQ(regex.MatchCount(), c.count);
  }
  RegexObject regex;
  ASSERT_TRUE(regex.Create("^x", "x\nx", {.multiline = false}));
  EXPECT_EQ(regex.MatchCount(), 1);
  ASSERT_TRUE(regex.Create("x$", "x\nx", {.multiline = false}));
  ASSERT_EQ(regex.MatchCount(), 1);
  int position = 0;
  regex.MatchText(1, &position);
  EXPECT_EQ(position, 2);
}

TEST(RegexObject, NoMatchIsSuccessRefusalIsFailure) {
  RegexObject regex;
  EXPECT_TRUE(regex.Create("zzz", "abc"));
  EXPECT_EQ(regex.MatchCount(), 0);
  EXPECT_EQ(regex.Replace("x"), "abc");
  ASSERT_TRUE(regex.Create("b", "abc"));
  ASSERT_EQ(regex.MatchCount(), 1);
  // A refused pattern leaves no matches from before; the engine keeps the pattern.
  EXPECT_FALSE(regex.Create("(?<=a)b", "abc"));
  EXPECT_EQ(regex.MatchCount(), 0);
  EXPECT_EQ(regex.SubmatchCount(), 0);
  EXPECT_EQ(regex.MatchText(1), "");
  EXPECT_EQ(regex.GetPattern(), "(?<=a)b");
  EXPECT_EQ(regex.Replace("x"), "");
}

TEST(RegexObject, NumbersOutOfRangeGiveEmptyTexts) {
  RegexObject regex;
  ASSERT_TRUE(regex.Create("(a)(b)?", "a ab"));
  ASSERT_EQ(regex.MatchCount(), 2);
  const std::pair<int, int> outside[] = {{0, 1}, {3, 1}, {-1, 1}, {INT_MIN, 1}, {INT_MAX, 1},
                                         {1, 0}, {1, 3}, {1, -1}, {1, INT_MIN}, {1, INT_MAX}};
  for (const auto& [match, group] : outside) {
    int position = 0;
    EXPECT_EQ(regex.SubmatchText(match, group, &position), "") << match << " " << group;
    EXPECT_EQ(position, -2) << match << " " << group;
  }
  for (const int match : {0, 3, -1, INT_MIN, INT_MAX}) EXPECT_EQ(regex.MatchText(match), "") << match;
}

TEST(RegexObject, UnsetGroupIsEmptyAndCountsAsAGroup) {
  RegexObject regex;
  ASSERT_TRUE(regex.Create("(a)(b)?", "a"));
  EXPECT_EQ(regex.SubmatchCount(), 2);
  int position = 0;
  EXPECT_EQ(regex.SubmatchText(1, 1, &position), "a");
  EXPECT_EQ(position, 0);
  EXPECT_EQ(regex.SubmatchText(1, 2, &position), "");
  EXPECT_EQ(position, -2);
  // No match: no groups to count.
  ASSERT_TRUE(regex.Create("(a)(b)?", "x"));
  EXPECT_EQ(regex.SubmatchCount(), 0);
}

TEST(RegexObject, PositionsAreByteOffsetsInTheGivenSubject) {
  struct Case {
    std::string subject;
    std::string pattern;
    int match;
    int group;  // 0: the match itself
    std::string text;
    int position;
  };
  const std::string abZhongC = std::string("ab") + kZhong + "c";
  const Case cases[] = {
      {abZhongC, "c", 1, 0, "c", 4},
      {abZhongC, kZhong, 1, 0, kZhong, 2},
      {abZhongC, std::string("(") + kZhong + ")(c)", 1, 2, "c", 4},
      {abZhongC, "", 4, 0, "", 4},  // empty matches at bytes 0, 1, 2, 4 and 5 (中 is one unit)
      {abZhongC, "$", 1, 0, "", 5},
      // The same text before the match: the match's own place, not the first occurrence.
      {std::string(kZhong) + "c" + kZhong + "c", std::string(kZhong) + "c", 2, 0, std::string(kZhong) + "c", 3},
      // A byte that is not 936 reads as one unit (U+FFFD) yet takes its own byte.
      {"\x81" "0a", "a", 1, 0, "a", 2},
      {"\xFF" "a" "\x80" "b", "b", 1, 0, "b", 3},
      {"x\x81", "\\W", 1, 0, "?", 1},
  };
  for (const auto& c : cases) {
    RegexObject regex;
    ASSERT_TRUE(regex.Create(c.pattern, c.subject)) << c.pattern;
    int position = -1;
    const Text text = c.group ? regex.SubmatchText(c.match, c.group, &position) : regex.MatchText(c.match, &position);
    EXPECT_EQ(text, c.text) << c.pattern;
    EXPECT_EQ(position, c.position) << c.pattern;
  }
}

TEST(RegexObject, PositionIsOptional) {
  RegexObject regex;
  ASSERT_TRUE(regex.Create("(b)", "abc"));
  EXPECT_EQ(regex.MatchText(1, nullptr), "b");
  EXPECT_EQ(regex.SubmatchText(1, 1, nullptr), "b");
}

TEST(RegexObject, QuoteMarkerExpansion) {
  const std::string pattern = std::string("a") + kMarker + "(\\w+)" + kMarker;
  RegexObject regex;
  ASSERT_TRUE(regex.Create(pattern, "a\"hi\"", {.expandQuoteMarker = true}));
  ASSERT_EQ(regex.MatchCount(), 1);
  EXPECT_EQ(regex.SubmatchText(1, 1), "hi");
  EXPECT_EQ(regex.GetPattern(), "a\"(\\w+)\"");
  // Left out or false: the marker is literal text of the pattern.
  for (const CreateOptions options : {CreateOptions{}, CreateOptions{.expandQuoteMarker = false}}) {
    ASSERT_TRUE(regex.Create(pattern, "a\"hi\" a" + std::string(kMarker) + "hi" + kMarker, options));
    ASSERT_EQ(regex.MatchCount(), 1);
    EXPECT_EQ(regex.MatchText(1), "a" + std::string(kMarker) + "hi" + kMarker);
    EXPECT_EQ(regex.GetPattern(), pattern);
  }
  // Every occurrence, each replaced one skipped over.
  ASSERT_TRUE(regex.Create(std::string(kMarker) + kMarker + "#", "\"\"#", {.expandQuoteMarker = true}));
  EXPECT_EQ(regex.GetPattern(), "\"\"#");
  EXPECT_EQ(regex.MatchCount(), 1);
}

TEST(RegexObject, ReplaceWorksOnTheLastSubject) {
  RegexObject regex;
  ASSERT_TRUE(regex.Create("(\\d+)", std::string(kZhong) + "1 22"));
  EXPECT_EQ(regex.Replace("<$1>"), std::string(kZhong) + "<1> <22>");
  EXPECT_EQ(regex.Replace(kZhong), std::string(kZhong) + kZhong + " " + kZhong);
  ASSERT_TRUE(regex.Create("a", "aAa", {.global = false}));
  EXPECT_EQ(regex.Replace("b"), "bAa");
  // Matches are untouched by Replace.
  EXPECT_EQ(regex.MatchCount(), 1);
}

TEST(RegexObject, ReplaceThatWouldGrowWithoutBoundIsEmpty) {
  // 3,001 empty matches, each replaced by everything before it, many times over: far beyond the
  // cap, which the result must not reach.
  RegexObject regex;
  ASSERT_TRUE(regex.Create("", std::string(3000, 'a')));
  ASSERT_EQ(regex.MatchCount(), 3001);
  EXPECT_EQ(regex.Replace("$`$`$`$`$`$`$`$`$`$`$`$`$`$`$`$`$`$`$`$`$`$`$`$`$`$`$`$`$`$`"), "");
  // Just under it, the whole result.
  EXPECT_EQ(regex.Replace("$`").size(), 3000u + 3000u * 3001u / 2u);
}

TEST(RegexObject, TextsStopAtTheirFirstZero) {
  RegexObject regex;
  ASSERT_TRUE(regex.Create(std::string("a\0b", 3), std::string("xa\0ab", 5)));
  EXPECT_EQ(regex.GetPattern(), "a");
  ASSERT_EQ(regex.MatchCount(), 1);  // "a" in "xa"
  EXPECT_EQ(regex.Replace("b"), "xb");
}

TEST(RegexObject, RunawayBacktrackingEndsAsAFailedRun) {
  RegexObject regex;
  const std::string subject = std::string(40, 'a') + "b c";
  EXPECT_FALSE(regex.Create("(a+)+c", subject));
  EXPECT_EQ(regex.MatchCount(), 0);
  EXPECT_EQ(regex.Replace("x"), "");
  // The object stays usable.
  EXPECT_TRUE(regex.Create("c", subject));
  EXPECT_EQ(regex.MatchCount(), 1);
}

TEST(RegexObject, MatchesBeforeARunawayPartAreKept) {
  RegexObject regex;
  const std::string subject = "x x x " + std::string(40, 'a') + "b c x";
  EXPECT_FALSE(regex.Create("x|(a+)+c", subject));  // the run did not reach the end
  ASSERT_EQ(regex.MatchCount(), 3);
  int position = 0;
  EXPECT_EQ(regex.MatchText(3, &position), "x");
  EXPECT_EQ(position, 4);
  EXPECT_EQ(regex.MatchText(4), "");
  EXPECT_EQ(regex.SubmatchCount(), 1);
  // A replacement would stop halfway: none is given.
  EXPECT_EQ(regex.Replace("y"), "");
  EXPECT_EQ(regex.Copy().MatchCount(), 3);
}

TEST(RegexObject, SubjectBeyondTheCapIsRefused) {
  RegexObject regex;
  EXPECT_FALSE(regex.Create("a", std::string(kMaxSubjectUnits + 1, 'a')));
  EXPECT_EQ(regex.MatchCount(), 0);
  EXPECT_TRUE(regex.Create("a$", std::string(kMaxSubjectUnits, 'a')));
  EXPECT_EQ(regex.MatchCount(), 1);
}

TEST(RegexObject, InitialisationStaysBalanced) {
  const int base = RegexObject::ThreadInitCount();
  {
    RegexObject a;
    EXPECT_EQ(RegexObject::ThreadInitCount(), base + 1);
    a.Destroy();
    EXPECT_EQ(RegexObject::ThreadInitCount(), base);
    a.Destroy();  // a second Destroy, and then the destructor, change nothing
    EXPECT_EQ(RegexObject::ThreadInitCount(), base);
  }
  EXPECT_EQ(RegexObject::ThreadInitCount(), base);
  {
    RegexObject b;  // the destructor balances a Destroy never called
    EXPECT_EQ(RegexObject::ThreadInitCount(), base + 1);
  }
  EXPECT_EQ(RegexObject::ThreadInitCount(), base);
  {
    RegexObject original;
    RegexObject copy = original.Copy();
    EXPECT_EQ(RegexObject::ThreadInitCount(), base + 2);
    copy.Destroy();
    EXPECT_EQ(RegexObject::ThreadInitCount(), base + 1);
    RegexObject moved = std::move(original);  // moves hand the initialisation over
    EXPECT_EQ(RegexObject::ThreadInitCount(), base + 1);
    original.Destroy();
    EXPECT_EQ(RegexObject::ThreadInitCount(), base + 1);
    RegexObject assigned;
    assigned = std::move(moved);
    EXPECT_EQ(RegexObject::ThreadInitCount(), base + 1);
  }
  EXPECT_EQ(RegexObject::ThreadInitCount(), base);
}

TEST(RegexObject, CopySharesMatchesAndKeepsItsSubject) {
  RegexObject original;
  ASSERT_TRUE(original.Create("(b+)", "abbc b"));
  RegexObject copy = original.Copy();
  original.Destroy();
  EXPECT_EQ(original.MatchCount(), 0);
  ASSERT_EQ(copy.MatchCount(), 2);
  int position = 0;
  EXPECT_EQ(copy.SubmatchText(2, 1, &position), "b");
  EXPECT_EQ(position, 5);
  EXPECT_EQ(copy.GetPattern(), "(b+)");
  EXPECT_EQ(copy.Replace("[$1]"), "a[bb]c [b]");
  // A new Create on the copy leaves nothing shared behind.
  ASSERT_TRUE(copy.Create("c", "c"));
  EXPECT_EQ(copy.MatchCount(), 1);
}

TEST(RegexObject, MovedFromObjectWorksAfresh) {
  RegexObject a;
  ASSERT_TRUE(a.Create("x", "x"));
  RegexObject b = std::move(a);
  EXPECT_EQ(b.MatchCount(), 1);
  EXPECT_TRUE(a.Create("y", "yy"));  // NOLINT(bugprone-use-after-move): a moved-from object is fresh
  EXPECT_EQ(a.MatchCount(), 2);
}

TEST(RegexObject, Conversions) {
  EXPECT_EQ(LocalToUtf16(""), u"");
  EXPECT_EQ(LocalToUtf16(std::string("a\0b", 3)), u"a");
  EXPECT_EQ(LocalToUtf16(std::string("ab") + kZhong), u"ab\u4E2D");
  EXPECT_EQ(Utf16ToLocal(u"ab\u4E2D"), std::string("ab") + kZhong);
  EXPECT_EQ(Utf16ToLocal(std::u16string(u"a\0b", 3)), "a");
  EXPECT_EQ(Utf16ToLocal(u"e\u0301"), "\xA8\xA6");  // composite check: é, which 936 holds
  EXPECT_EQ(Utf16ToLocal(u"\U0001F600x"), "?x");    // nothing outside the BMP in 936
}

}  // namespace
}  // namespace korvane
