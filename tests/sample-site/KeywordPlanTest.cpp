#include "sample-site/FaultRule.h"
#include "sample-site/KeywordPlan.h"

#include <gtest/gtest.h>

namespace korvane::site {
namespace {

using Kind = PageSelector::Kind;

struct RuleCase {
  std::string text;
  std::optional<FaultRule> expected;
};

TEST(FaultRule, Parse) {
  const PageSelector all{};
  const PageSelector first{Kind::First, 0};
  const PageSelector numbered{Kind::Numbered, 0};
  const std::vector<RuleCase> cases = {
      {"500", FaultRule{all, Fault::Status, 500, 0}},
      {"404@1", FaultRule{{Kind::Page, 1}, Fault::Status, 404, 0}},
      {"status:503@first", FaultRule{first, Fault::Status, 503, 0}},
      {"cut", FaultRule{all, Fault::CutOff, 0, 0}},
      {"cut:30@numbered", FaultRule{numbered, Fault::CutOff, 30, 0}},
      {"reset@first", FaultRule{first, Fault::Reset, 0, 0}},
      {"trickle:800@2", FaultRule{{Kind::Page, 2}, Fault::Trickle, 800, 0}},
      {"badutf8@all", FaultRule{all, Fault::BadUtf8, 0, 0}},
      {"huge:5", FaultRule{all, Fault::Huge, 5, 0}},
      {"redirect", FaultRule{all, Fault::RedirectLoop, 0, 0}},
      {"backtrack:50@1", FaultRule{{Kind::Page, 1}, Fault::Backtrack, 50, 0}},
      {"200", std::nullopt},
      {"600", std::nullopt},
      {"status:200", std::nullopt},
      {"status", std::nullopt},
      {"cut:x", std::nullopt},
      {"cut:", std::nullopt},
      {"reset:3", std::nullopt},  // takes no argument
      {"Reset", std::nullopt},
      {"foo", std::nullopt},
      {"500@0", std::nullopt},
      {"500@", std::nullopt},
      {"500@last", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseFaultRule(c.text), c.expected) << c.text;
  }
}

TEST(FaultRule, ParseDelay) {
  EXPECT_EQ(ParseDelayRule("300"), (FaultRule{{}, Fault::None, 0, 300}));
  EXPECT_EQ(ParseDelayRule("0@first"), (FaultRule{{Kind::First, 0}, Fault::None, 0, 0}));
  EXPECT_EQ(ParseDelayRule("99999999@2"), (FaultRule{{Kind::Page, 2}, Fault::None, 0, kMaxDelayMs}));
  EXPECT_EQ(ParseDelayRule("-5"), std::nullopt);
  EXPECT_EQ(ParseDelayRule("5@x"), std::nullopt);
}

TEST(FaultRule, EffectiveArgFillsDefaultsAndCaps) {
  struct Case {
    Fault fault;
    int arg;
    int effective;
  };
  const Case cases[] = {
      {Fault::Status, 0, 500},      {Fault::Status, 404, 404},   {Fault::Status, 302, 500},
      {Fault::CutOff, 0, 50},       {Fault::CutOff, 100, 99},    {Fault::CutOff, 1, 1},
      {Fault::Trickle, 0, 2000},    {Fault::Trickle, 10'000'000, kMaxDelayMs},
      {Fault::Huge, 0, 100},        {Fault::Huge, 5000, kMaxHugeMiB},
      {Fault::Backtrack, 0, 2000},  {Fault::Backtrack, 1'000'000, kMaxBacktrackBlocks},
      {Fault::Reset, 7, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EffectiveArg(FaultRule{{}, c.fault, c.arg, 0}), c.effective)
        << FaultName(c.fault) << " " << c.arg;
  }
}

TEST(FaultRule, SelectorMatches) {
  struct Case {
    PageSelector where;
    bool first, page1, page2;
  };
  const Case cases[] = {
      {{Kind::All, 0}, true, true, true},
      {{Kind::First, 0}, true, false, false},
      {{Kind::Numbered, 0}, false, true, true},
      {{Kind::Page, 2}, false, false, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.where.Matches(false, 0), c.first);
    EXPECT_EQ(c.where.Matches(true, 1), c.page1);
    EXPECT_EQ(c.where.Matches(true, 2), c.page2);
  }
}

TEST(KeywordPlan, DirectivesAreTakenOutOfTheKeyword) {
  const auto plan = ParseKeyword("速度与激情7 #pages=5#fault=500@1#delay=100@first#rows=3#emptyhash=2");
  EXPECT_EQ(plan.base, "速度与激情7");
  EXPECT_EQ(plan.pageCount, 5);
  EXPECT_EQ(plan.rowsPerPage, 3);
  EXPECT_EQ(plan.emptyHashRow, 2);
  ASSERT_EQ(plan.rules.size(), 2u);
  EXPECT_EQ(plan.rules[0], (FaultRule{{Kind::Page, 1}, Fault::Status, 500, 0}));
  EXPECT_EQ(plan.rules[1], (FaultRule{{Kind::First, 0}, Fault::None, 0, 100}));
}

TEST(KeywordPlan, WhatIsNoDirectiveStaysInTheKeyword) {
  struct Case {
    std::string keyword;
    std::string base;
    int pages;
  };
  const Case cases[] = {
      {"C#", "C#", 2},
      {"C# 入门#pages=1", "C# 入门", 1},
      {"a#pages=x#b", "a#pages=x#b", 2},
      {"a#fault=nonsense", "a#fault=nonsense", 2},
      {"a#pages=", "a#pages=", 2},
      {"#", "#", 2},
      {"#pages=3", "", 3},
      {"", "", 0},
      {"#rows=4", "", 0},
      {"a#pages=1#pages=4", "a", 4},  // the last one counts
  };
  for (const auto& c : cases) {
    const auto plan = ParseKeyword(c.keyword);
    EXPECT_EQ(plan.base, c.base) << c.keyword;
    EXPECT_EQ(plan.pageCount, c.pages) << c.keyword;
    EXPECT_EQ(plan.keyword, c.keyword);
  }
}

TEST(KeywordPlan, CleanKeyword) {
  EXPECT_EQ(CleanKeyword("速度与激情7"), "速度与激情7");
  EXPECT_EQ(CleanKeyword("a\nb\tc\x7F"), "a b c ");
  EXPECT_EQ(CleanKeyword("\xC2\x85"), " ");  // a C1 control
  EXPECT_EQ(CleanKeyword("\xFF"), "\xEF\xBF\xBD");
  EXPECT_EQ(CleanKeyword("\xE9\x80"), "\xEF\xBF\xBD\xEF\xBF\xBD");  // cut short
  EXPECT_EQ(CleanKeyword("\xC0\xAF"), "\xEF\xBF\xBD\xEF\xBF\xBD");  // overlong
  EXPECT_EQ(CleanKeyword("\xED\xA0\x80"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");  // surrogate
  EXPECT_EQ(CleanKeyword("\xF0\x9F\x98\x80"), "\xF0\x9F\x98\x80");
  EXPECT_EQ(CleanKeyword(std::string("a\0b", 3)), "a b");
}

}  // namespace
}  // namespace korvane::site
