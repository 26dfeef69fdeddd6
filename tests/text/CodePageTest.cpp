#include "text/CodePage.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>
#include <string>

namespace korvane {
namespace {

std::string Unhex(const std::string& hex) {
  std::string out;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return out;
}

std::string Hex(const std::string& bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (const unsigned char c : bytes) (out += kDigits[c >> 4]) += kDigits[c & 0xF];
  return out;
}

std::ifstream OpenVectors(const char* name) {
  std::ifstream in(std::string(KORVANE_TEST_DATA) + "/" + name);
  EXPECT_TRUE(in.good()) << name;
  return in;
}

// Every pair that an independent GBK decoder reads, both ways.
TEST(CodePage, MatchesIndependentGbkDecoder) {
  auto in = OpenVectors("gbk_pairs.txt");
  std::string line;
  int checked = 0;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string pair, codePoint, encoded;
    fields >> pair >> codePoint >> encoded;
    const std::u16string expected(1, static_cast<char16_t>(std::stoi(codePoint, nullptr, 16)));
    ASSERT_EQ(MultiByteToWide(kCodePage936, Unhex(pair)), expected) << pair;
    ASSERT_EQ(WideToMultiByte(kCodePage936, expected), Unhex(encoded)) << codePoint;
    ++checked;
  }
  EXPECT_GT(checked, 20000);
}

TEST(CodePage, Utf8InvalidSequencesAsIndependentDecoder) {
  auto in = OpenVectors("utf8_invalid.txt");
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string raw, unit;
    fields >> raw;
    std::u16string expected;
    while (fields >> unit) expected += static_cast<char16_t>(std::stoi(unit, nullptr, 16));
    EXPECT_EQ(MultiByteToWide(kCodePageUtf8, Unhex(raw)), expected) << raw;
  }
}

TEST(CodePage, PlatformTableExtras) {
  // The platform's own 936 table, which plain GBK decoders lack.
  EXPECT_EQ(MultiByteToWide(kCodePage936, "\x80"), u"\u20AC");
  EXPECT_EQ(WideToMultiByte(kCodePage936, u"\u20AC"), "\x80");
  EXPECT_EQ(MultiByteToWide(kCodePage936, "\xFF"), u"\uF8F5");
  EXPECT_EQ(MultiByteToWide(kCodePage936, "\xAA\xA1"), u"\uE000");  // user-defined area
  EXPECT_EQ(WideToMultiByte(kCodePage936, u"\uE000"), "\xAA\xA1");
  EXPECT_EQ(MultiByteToWide(kCodePage936, "\xA1\xA1"), u"\u3000");
  EXPECT_EQ(MultiByteToWide(kCodePageAnsi, "\xD6\xD0"), u"\u4E2D");  // ANSI is 936
  EXPECT_EQ(WideToMultiByte(kCodePageAnsi, u"\u4E2D"), "\xD6\xD0");
}

TEST(CodePage, BadInputAndUnmappable) {
  // Not valid 936: a lone lead byte at the end, a lead byte with a bad trail.
  EXPECT_EQ(MultiByteToWide(kCodePage936, "a\xD6"), u"a\uFFFD");
  EXPECT_EQ(MultiByteToWide(kCodePage936, std::string("\x81\x30", 2)).substr(0, 1), u"\uFFFD");
  // No mapping in 936, a lone surrogate included: '?'.
  EXPECT_EQ(WideToMultiByte(kCodePage936, u"a\u0E01b"), "a?b");
  EXPECT_EQ(WideToMultiByte(kCodePage936, std::u16string(1, char16_t(0xD800))), "?");
  EXPECT_EQ(WideToMultiByte(kCodePage936, u"\U0001F600"), "?");
  EXPECT_EQ(WideToMultiByte(kCodePage936, u"\uFFF3\U0001F600\u0E01"), "???");  // one '?' per character
  // UTF-8 of lone surrogates and of pairs.
  EXPECT_EQ(WideToMultiByte(kCodePageUtf8, std::u16string(1, char16_t(0xDC00))), "\xEF\xBF\xBD");
  EXPECT_EQ(WideToMultiByte(kCodePageUtf8, u"\U0001F600"), "\xF0\x9F\x98\x80");
  EXPECT_EQ(MultiByteToWide(kCodePageUtf8, "\xF0\x9F\x98\x80"), u"\U0001F600");
}

TEST(CodePage, CompositeCheck) {
  // e + combining acute is é, which 936 holds (A8 A6); without the check the mark is unmappable.
  EXPECT_EQ(WideToMultiByte(kCodePage936, u"e\u0301", true), "\xA8\xA6");
  EXPECT_EQ(WideToMultiByte(kCodePage936, u"e\u0301", false), "e?");
  // q + acute has no precomposed form: both stay.
  EXPECT_EQ(WideToMultiByte(kCodePage936, u"q\u0301", true), "q?");
  // A precomposed character that 936 lacks (ḿ U+1E3F is in it, Å U+00C5 is not).
  EXPECT_EQ(WideToMultiByte(kCodePage936, u"A\u030A", true), "A?");
  EXPECT_EQ(WideToMultiByte(kCodePageUtf8, u"e\u0301", true), "e\xCC\x81");
}

// The direct UTF-8 to 936 path must give what the general path gives, on any bytes.
TEST(CodePage, Utf8To936AgreesWithGeneralPath) {
  std::mt19937 random(20261211);
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  const std::string fragments[] = {
      "abc", "\xE4\xB8\xAD", "\xE2\x82\xAC", "\xC3\xA9", "\xF0\x9F\x98\x80", "\xEF\xBF\xBD", "\xEE\x80\x80",
      "\xE3\x80\x80", "\xED\x9F\xBF", "\xF4\x8F\xBF\xBF", "\xC2\x80", "\xE0\xA0\x80", "<a href=\"/x\">",
  };
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    const int parts = 1 + pick(24);
    for (int p = 0; p < parts; ++p) {
      switch (pick(4)) {
        case 0: text += fragments[pick(static_cast<int>(std::size(fragments)))]; break;
        case 1: text += static_cast<char>(pick(256)); break;                       // any byte
        case 2: text += static_cast<char>(0x80 + pick(0x80)); break;               // a stray high byte
        default: {                                                                 // a cut sequence
          const std::string& f = fragments[pick(static_cast<int>(std::size(fragments)))];
          text += f.substr(0, 1 + static_cast<std::size_t>(pick(static_cast<int>(f.size()))));
        }
      }
    }
    ASSERT_EQ(Utf8To936(text), WideToMultiByte(kCodePage936, MultiByteToWide(kCodePageUtf8, text)))
        << Hex(text);
  }
  // Every BMP character, one by one, as UTF-8.
  for (char32_t c = 1; c < 0x10000; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    const std::u16string wide(1, static_cast<char16_t>(c));
    const std::string utf8 = WideToMultiByte(kCodePageUtf8, wide);
    ASSERT_EQ(Utf8To936(utf8), WideToMultiByte(kCodePage936, wide)) << std::hex << static_cast<unsigned>(c);
  }
}

TEST(CodePage, EmptyAndUnsupported) {
  EXPECT_EQ(MultiByteToWide(kCodePage936, ""), u"");
  EXPECT_EQ(WideToMultiByte(kCodePageUtf8, u""), "");
  EXPECT_EQ(MultiByteToWide(1252, "abc"), u"");
  EXPECT_EQ(WideToMultiByte(1252, u"abc"), "");
}

}  // namespace
}  // namespace korvane
