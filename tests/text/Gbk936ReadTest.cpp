// The table-driven 936 reader against the ICU path it was learnt from.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "text/CodePage.h"

namespace korvane {
namespace {

TEST(Gbk936Read, EveryByteAndPairAsIcu) {
  for (int a = 0; a < 256; ++a) {
    const std::string one(1, static_cast<char>(a));
    ASSERT_EQ(Gbk936ToWide(one), MultiByteToWide(kCodePage936, one)) << a;
    for (int b = 0; b < 256; ++b) {
      // Followed by ASCII and by a lead byte, so that a byte read afresh shows.
      for (const char after : {'x', '\x81'}) {
        const std::string text = {static_cast<char>(a), static_cast<char>(b), after, 'y'};
        ASSERT_EQ(Gbk936ToWide(text), MultiByteToWide(kCodePage936, text)) << a << " " << b;
      }
    }
  }
}

// Random runs of bytes weighted towards lead bytes, bad trails and zero bytes.
std::string RandomBytes(std::mt19937& rng, std::size_t length) {
  static constexpr unsigned char kInteresting[] = {0x00, 0x30, 0x3F, 0x40, 0x7E, 0x7F, 0x80, 0x81,
                                                  0xA1, 0xA4, 0xAA, 0xD6, 0xFE, 0xFF, 'a', '\n'};
  std::uniform_int_distribution<int> any(0, 255), pick(0, sizeof kInteresting - 1), coin(0, 2);
  std::string out;
  for (std::size_t i = 0; i < length; ++i) {
    out += static_cast<char>(coin(rng) ? any(rng) : kInteresting[pick(rng)]);
  }
  return out;
}

TEST(Gbk936Read, RandomTextsAsIcu) {
  std::mt19937 rng(936);
  for (int round = 0; round < 3000; ++round) {
    const std::string text = RandomBytes(rng, static_cast<std::size_t>(round % 97));
    ASSERT_EQ(Gbk936ToWide(text), MultiByteToWide(kCodePage936, text)) << round;
  }
  const std::string long_text = RandomBytes(rng, 200000);
  EXPECT_EQ(Gbk936ToWide(long_text), MultiByteToWide(kCodePage936, long_text));
}

// The byte count for k units is the prefix that reads as the first k units, and no shorter one.
TEST(Gbk936Read, BytesForUnitsIsTheReadingsOwnBoundary) {
  std::mt19937 rng(65001);
  for (int round = 0; round < 500; ++round) {
    const std::string text = RandomBytes(rng, static_cast<std::size_t>(1 + round % 40));
    const std::u16string wide = MultiByteToWide(kCodePage936, text);
    std::size_t previous = 0;
    for (std::size_t k = 0; k <= wide.size(); ++k) {
      const std::size_t bytes = Gbk936BytesForUnits(text, k);
      ASSERT_EQ(MultiByteToWide(kCodePage936, text.substr(0, bytes)), wide.substr(0, k)) << round << " " << k;
      ASSERT_TRUE(k == 0 ? bytes == 0 : bytes > previous) << round << " " << k;
      previous = bytes;
    }
    EXPECT_EQ(Gbk936BytesForUnits(text, wide.size() + 5), text.size());
  }
  EXPECT_EQ(Gbk936BytesForUnits("ab\xD6\xD0" "c", 3), 4u);  // ab中c: "c" starts at byte 4
}

}  // namespace
}  // namespace korvane
