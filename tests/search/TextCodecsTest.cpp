#include "search/TextCodecs.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

struct EncodeCase {
  const char* text;
  bool keepAlnum;
  bool viaUtf8;
  const char* expected;
};

TEST(TextCodecs, UrlEncode) {
  const EncodeCase cases[] = {
      {"", false, false, ""},
      {"", false, true, ""},
      {"ab", false, false, "%61%62"},
      {"\n", false, false, "%0A"},
      {" ", false, false, "%20"},
      {"a-b_c.9~", true, false, "a-b%5Fc.9%7E"},
      {"/AZaz09", true, false, "%2FAZaz09"},
      {"\xD6\xD0", false, true, "%E4%B8%AD"},          // 中
      {"\xD6\xD0", false, false, "%D6%D0"},
      {"\xCB\xD9\xB6\xC8\xD3\xEB\xBC\xA4\xC7\xE9" "7", false, true,  // 速度与激情7
       "%E9%80%9F%E5%BA%A6%E4%B8%8E%E6%BF%80%E6%83%85%37"},
      // Three euro signs grow from 3 bytes to 9: the whole text converts.
      {"\x80\x80\x80", false, true, "%E2%82%AC%E2%82%AC%E2%82%AC"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(UrlEncode(c.text, c.keepAlnum, c.viaUtf8), c.expected) << c.text;
  }
}

struct DecodeCase {
  std::string text;
  std::string expected;
};

TEST(TextCodecs, UrlDecode) {
  const DecodeCase cases[] = {
      {"%41%4a%4A", "AJJ"},
      {"%3D%3d", "=="},
      {"abc%", "abc"},            // a lone percent sign at the end vanishes
      {"abc%4", "abc@"},          // the missing second digit counts 0
      {"%zz", "\xDE"},            // both digits -2
      {"%3G", "."},               // 3*16 - 2
      {"%00", ""},                // a decoded zero adds nothing
      {"a%00b", "ab"},
      {"%%41", "\xE4" "1"},
      {"a+b", "a+b"},
      {"\xD6\xD0%41", "\xD6\xD0" "A"},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(UrlDecode(c.text), c.expected) << c.text;
  }
  // A "%" that starts no escape, as in a width of 100%, is decoded all the same.
  // "%;" followed by the end: ';' counts -2, the missing digit 0: (16 * -2 + 0) & 0xFF = 0xE0.
  EXPECT_EQ(UrlDecode("100%;"), "100\xE0");
  EXPECT_EQ(UrlDecode("100% xy"), "100\xDE" "y");  // " " and "x" are its digits, -2 each
}

TEST(TextCodecs, UrlDecodeToLocal) {
  EXPECT_EQ(UrlDecode("%E4%B8%AD", true), "\xD6\xD0");
  EXPECT_EQ(UrlDecode("\xE4\xB8\xAD" "a", true), "\xD6\xD0" "a");
  // Invalid UTF-8 still decodes: the bad byte becomes U+FFFD, which 936 lacks, so '?'.
  EXPECT_EQ(UrlDecode("a%FFb\xE4\xB8\xAD", true), "a?b\xD6\xD0");
  EXPECT_EQ(UrlDecode("", true), "");
}

TEST(TextCodecs, LocalAndUtf8) {
  EXPECT_EQ(LocalToUtf8(""), "");
  EXPECT_EQ(Utf8ToLocal(""), "");
  EXPECT_EQ(LocalToUtf8("\xD6\xD0" "a"), "\xE4\xB8\xAD" "a");
  EXPECT_EQ(Utf8ToLocal("\xE4\xB8\xAD" "a"), "\xD6\xD0" "a");
  EXPECT_EQ(LocalToUtf8("\x80\x80\x80"), "\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC");
  EXPECT_EQ(Utf8ToLocal("\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC"), "\x80\x80\x80");
  EXPECT_EQ(Utf8ToLocal("\xF0\x9F\x98\x80"), "?");            // outside 936: one '?' for the pair
}

TEST(TextCodecs, TextToWideAndBack) {
  EXPECT_EQ(TextToWide("\xD6\xD0", 936), (Bytes{0x2D, 0x4E, 0x00, 0x00}));
  EXPECT_EQ(WideToText(Bytes{0x2D, 0x4E, 0x00, 0x00}, 65001), "\xE4\xB8\xAD");
  EXPECT_EQ(TextToWide("\xE4\xB8\xAD"), (Bytes{0x2D, 0x4E, 0x00, 0x00}));   // default 65001
  EXPECT_EQ(WideToText(Bytes{0x2D, 0x4E, 0x00, 0x00}), "\xD6\xD0");        // default 0 = 936
  EXPECT_EQ(TextToWide(""), Bytes{});
  EXPECT_EQ(WideToText(Bytes{}), "");
  // Read up to the first zero unit; an odd last byte is no unit.
  EXPECT_EQ(WideToText(Bytes{'a', 0, 0, 0, 'b', 0}, 65001), "a");
  EXPECT_EQ(WideToText(Bytes{'a', 0, 'b'}, 65001), "a");
  // Texts whose converted form is longer than the ANSI measure convert whole.
  EXPECT_EQ(WideToText(TextToWide("\x80\x80\x80", 936), 65001), "\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC");
  const std::string invalid = "\xFF\xFE\xFD" "abc";
  EXPECT_EQ(TextToWide(invalid).size(), (6 + 1) * 2u);
  EXPECT_EQ(WideToText(TextToWide(invalid), 936), "???abc");
}

}  // namespace
}  // namespace korvane
