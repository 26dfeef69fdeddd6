#include "text/LocaleCompare.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace korvane {
namespace {

TEST(LocaleCompare, Order) {
  // Each text sorts before the next.
  const std::vector<std::string> ordered = {
      "",
      "1",
      "2",
      "10",           // digits in numeric order
      "2015-04-03",
      "2015-10-01",
      "a",
      "A",            // case decides after the letters
      "ab",
      "b",
  };
  for (std::size_t i = 0; i + 1 < ordered.size(); ++i) {
    EXPECT_LT(LocaleCompare(ordered[i], ordered[i + 1]), 0) << ordered[i] << " / " << ordered[i + 1];
    EXPECT_GT(LocaleCompare(ordered[i + 1], ordered[i]), 0);
    EXPECT_LT(LocaleSortKey(ordered[i]), LocaleSortKey(ordered[i + 1])) << ordered[i];
  }
}

TEST(LocaleCompare, ChineseInPinyinOrder) {
  EXPECT_LT(LocaleCompare("\xB0\xA1", "\xB1\xB1"), 0);  // 啊 (a) before 北 (bei)
  EXPECT_LT(LocaleCompare("\xB1\xB1", "\xD6\xD0"), 0);  // 北 before 中 (zhong)
  EXPECT_GT(LocaleCompare("\xD6\xD0", "\xB0\xA1"), 0);
}

TEST(LocaleCompare, EqualOnlyWhenEqual) {
  EXPECT_EQ(LocaleCompare("abc", "abc"), 0);
  EXPECT_EQ(LocaleCompare("", ""), 0);
  EXPECT_NE(LocaleCompare("a", "A"), 0);
  EXPECT_NE(LocaleCompare("1", "01"), 0);
  // Two invalid byte sequences that both read as U+FFFD are still different texts.
  EXPECT_NE(LocaleCompare("\x81", "\x82"), 0);
  EXPECT_NE(LocaleSortKey("\x81"), LocaleSortKey("\x82"));
}

TEST(LocaleCompare, SortKeysAgreeWithComparison) {
  const std::vector<std::string> texts = {"", "a", "A", "a1", "a01", "a10", "a2", "b", "B", "\xB0\xA1",
                                          "\xB0\xA1" "a", "2015-04-03", "2015-4-3", " x", "x ", "\x81"};
  for (const auto& a : texts) {
    for (const auto& b : texts) {
      const int c = LocaleCompare(a, b);
      const std::string ka = LocaleSortKey(a), kb = LocaleSortKey(b);
      EXPECT_EQ(c < 0, ka < kb) << a << " / " << b;
      EXPECT_EQ(c == 0, ka == kb) << a << " / " << b;
    }
  }
}

}  // namespace
}  // namespace korvane
