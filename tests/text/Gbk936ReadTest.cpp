// The table-driven 936 reader and writer against the general paths they stand in for.
#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
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

// Long ASCII runs broken at every place by double-byte and bad bytes, for the wide ASCII path.
TEST(Gbk936Read, AsciiRunsAsIcu) {
  std::mt19937 rng(16);
  std::uniform_int_distribution<int> run(0, 40), ascii(0x20, 0x7E);
  const std::string breaks[] = {"\xD6\xD0", "\x80", "\xFF", "\x81\x30", "\xA1"};
  std::string text;
  for (int piece = 0; piece < 5000; ++piece) {
    for (int k = run(rng); k > 0; --k) text += static_cast<char>(ascii(rng));
    text += breaks[static_cast<std::size_t>(piece) % std::size(breaks)];
  }
  for (std::size_t cut = 0; cut < 64; ++cut) {
    const std::string part = text.substr(cut, text.size() - 2 * cut);
    ASSERT_EQ(Gbk936ToWide(part), MultiByteToWide(kCodePage936, part)) << cut;
  }
}

TEST(Gbk936Write, EveryUnitAsTheGeneralPath) {
  std::u16string all;
  for (std::uint32_t u = 1; u < 0x10000; ++u) {
    const std::u16string one(1, static_cast<char16_t>(u));
    ASSERT_EQ(WideToGbk936(one), WideToMultiByte(kCodePage936, one)) << u;
    all += static_cast<char16_t>(u);
  }
  EXPECT_EQ(WideToGbk936(all), WideToMultiByte(kCodePage936, all));
  const std::u16string tricky[] = {u"", u"\U0001F600", u"a\xD83D", std::u16string{char16_t{0xDE00}, u'b'},
                                   u"\xD83D\xD83D\xDE00",
                                   std::u16string(127, u'\u4E2D'), std::u16string(128, u'\u4E2D'),
                                   std::u16string(129, u'\u4E2D') + u"x"};
  for (const auto& wide : tricky) EXPECT_EQ(WideToGbk936(wide), WideToMultiByte(kCodePage936, wide));
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
