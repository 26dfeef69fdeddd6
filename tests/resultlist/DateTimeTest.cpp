#include "resultlist/DateTime.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

TEST(DateTime, ClampAndLinear) {
  EXPECT_EQ(ClampDateTime(3e6), kMaxDateTime);
  EXPECT_EQ(ClampDateTime(-7e5), kMinDateTime);
  EXPECT_EQ(ClampDateTime(12.5), 12.5);
  EXPECT_DOUBLE_EQ(LinearDateTime(-1.25), -0.75);
  EXPECT_DOUBLE_EQ(LinearDateTime(-1.0), -1.0);
  EXPECT_DOUBLE_EQ(LinearDateTime(2.5), 2.5);
  EXPECT_DOUBLE_EQ(LinearDateTime(-0.5), 0.5);
}

TEST(DateTime, Compare) {
  EXPECT_EQ(CompareDateTimes(-1.25, -1.0), 1);    // 06:00 is after midnight, also before 1899-12-30
  EXPECT_EQ(CompareDateTimes(-1.0, -1.25), -1);
  EXPECT_EQ(CompareDateTimes(-1.25, -0.5), -1);
  EXPECT_EQ(CompareDateTimes(-800000, kMinDateTime), 0);  // clamped to the limits
  EXPECT_EQ(CompareDateTimes(5e6, kMaxDateTime), 0);
  EXPECT_EQ(CompareDateTimes(1, 1), 0);
}

TEST(DateTime, MakeDateTime) {
  EXPECT_EQ(MakeDateTime(1899, 12, 30), 0.0);
  EXPECT_EQ(MakeDateTime(9999, 12, 31), kMaxDateTime);
  EXPECT_EQ(MakeDateTime(100, 1, 1), kMinDateTime);
  EXPECT_DOUBLE_EQ(*MakeDateTime(1899, 12, 29, 6), -1.25);
  EXPECT_DOUBLE_EQ(*MakeDateTime(2015, 4, 3, 12), 42097.5);
  EXPECT_FALSE(MakeDateTime(2015, 2, 29));
  EXPECT_TRUE(MakeDateTime(2016, 2, 29));
  EXPECT_FALSE(MakeDateTime(1900, 2, 29));
  EXPECT_FALSE(MakeDateTime(99, 1, 1));
}

TEST(DateTime, Read) {
  struct Case {
    const char* text;
    std::optional<double> expected;
  };
  const double d = *MakeDateTime(2015, 4, 3);
  const Case cases[] = {
      {"2015-04-03", d},
      {"2015/04/03", d},
      {"2015.4.3", d},
      {"2015\xC4\xEA" "04\xD4\xC2" "03\xC8\xD5", d},  // 年 月 日
      {"  2015-4-3", d},
      {"2015-04-03 12:00", d + 0.5},
      {"2015-04-03T06:00:00", d + 0.25},
      {"2015-04-03 06:00:30", d + (6 * 3600 + 30) / 86400.0},
      {"2015-04-03 6:", d},               // an incomplete time is left out
      {"2015-04-03 25:00", std::nullopt}, // a time that does not exist
      {"2015-13-01", std::nullopt},
      {"2015-02-30", std::nullopt},
      {"2015-04", std::nullopt},
      {"2015-04/03", std::nullopt},
      {"", std::nullopt},
      {"junk", std::nullopt},
      {"0099-01-01", std::nullopt},
  };
  for (const auto& c : cases) {
    const auto got = ReadDateTime(c.text);
    ASSERT_EQ(got.has_value(), c.expected.has_value()) << c.text;
    if (got) {
      EXPECT_DOUBLE_EQ(*got, *c.expected) << c.text;
    }
  }
}

}  // namespace
}  // namespace korvane
