// What the pattern language lacks is refused, not passed to PCRE2 where it would mean something.
// (Patterns that ECMAScript itself rejects are in the generated cases.)
#include <gtest/gtest.h>

#include <string>

#include "regex/CompiledRegex.h"
#include "regex/RegexObject.h"

namespace korvane {
namespace {

TEST(TranslatePattern, RefusesWhatTheLanguageLacks) {
  const char* const refused[] = {
      // Look-behind, named groups and references, inline options, other "(?" forms.
      "(?<=a)b", "(?<!a)b", "(?<n>a)", "(?<n>a)\\k<n>", "\\k<n>", "(?i:a)", "(?-i)a", "(?s).", "(?x)a b",
      "(?|a)", "(?R)", "(?1)", "(?C)", "(?'n'a)", "(*UTF)a", "(*LIMIT_MATCH=1)a",
      // Quantified assertions.
      "(?=a)*", "(?!a)+", "(?=a){2}", "(?!a)?",
      // PCRE2-only escapes and other letters without a meaning here.
      "\\A", "\\Z", "\\z", "\\h", "\\H", "\\e", "\\a", "\\p{L}", "\\P{L}", "\\G", "\\K", "\\R", "\\X", "\\N",
      "\\Qa\\E", "\\g1", "\\g{1}", "\\o{101}", "\\i", "\\k", "\\y",
      // Malformed \x, \u, \c.
      "\\xZZ", "\\x4", "\\u12", "\\u{41}", "\\c1", "\\c", "\\c_",
      // The same inside classes.
      "[\\B]", "[\\A]", "[\\k]", "[\\p{L}]", "[\\c*]", "[\\x4]", "[\\u12]",
      // Repeat counts beyond PCRE2's ceiling.
      "a{65536}", "a{1,70000}", "a{99999999999}",
  };
  for (const char* pattern : refused) {
    const std::u16string wide(pattern, pattern + std::char_traits<char>::length(pattern));
    EXPECT_FALSE(CompiledRegex::Compile(wide, true, true).has_value()) << pattern;
    EXPECT_FALSE(CompiledRegex::Compile(wide, false, false).has_value()) << pattern;
    RegexObject regex;
    EXPECT_FALSE(regex.Create(pattern, "abc aAb \\ p{L}")) << pattern;
    EXPECT_EQ(regex.MatchCount(), 0) << pattern;
  }
}

TEST(TranslatePattern, AcceptsTheLanguagesLimits) {
  RegexObject regex;
  ASSERT_TRUE(regex.Create("a{65535}", std::string(65535, 'a')));
  EXPECT_EQ(regex.MatchCount(), 1);
  ASSERT_TRUE(regex.Create("a{2,65535}?", "aaa"));
  EXPECT_EQ(regex.MatchText(1), "aa");
  // Identity escapes of non-letters stay literal; \b in a class is a backspace.
  ASSERT_TRUE(regex.Create("\\/\\-\\#\\ \\\"[\\b]", "/-# \"\b"));
  EXPECT_EQ(regex.MatchCount(), 1);
}

TEST(TranslatePattern, NestingIsBounded) {
  auto nested = [](int depth) { return std::string(static_cast<std::size_t>(depth), '(') + "a" + std::string(static_cast<std::size_t>(depth), ')'); };
  RegexObject regex;
  ASSERT_TRUE(regex.Create(nested(200), "a"));
  EXPECT_EQ(regex.SubmatchCount(), 200);
  EXPECT_EQ(regex.SubmatchText(1, 200), "a");
  EXPECT_FALSE(regex.Create(nested(201), "a"));
  // Deep enough to overflow a recursive parser's stack if it were not bounded.
  EXPECT_FALSE(regex.Create(nested(100000), "a"));
  EXPECT_FALSE(regex.Create(std::string(100000, '['), "a"));
  EXPECT_FALSE(regex.Create(std::string(50000, '(') + std::string(50000, '|'), "a"));
}

}  // namespace
}  // namespace korvane
