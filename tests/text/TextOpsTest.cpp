#include "text/TextOps.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

// 中 = D6 D0, 啊 = B0 A1, full-width space = A1 A1.
struct FindCase {
  const char* text;
  const char* what;
  int start;
  bool ignoreCase;
  int expected;
};

TEST(TextOps, Find) {
  const FindCase cases[] = {
      {"abcabc", "bc", 1, false, 2},
      {"abcabc", "bc", 3, false, 5},
      {"abcabc", "bc", 0, false, 2},      // start 1 or less: the beginning
      {"abcabc", "bc", -7, false, 2},
      {"abcabc", "bc", 7, false, -1},     // beyond the end
      {"abcabc", "x", 1, false, -1},
      {"abcABC", "AbC", 2, true, 4},
      {"abcABC", "AbC", 1, false, -1},
      {"abc", "", 1, false, 1},           // empty text to find
      {"abc", "", 3, false, 1},
      {"", "", 1, false, -1},             // searched part empty
      {"abc", "", 4, false, -1},
      {"\xB0\xA1\xA1\xA1", "\xA1\xA1", 1, false, 3},  // A1 A1 at offset 1 straddles two characters
      {"\xD6\xD0" "a", "\xD0" "a", 1, false, -1},      // never on a second byte
      {"\xD6\xD0" "a", "a", 2, false, 3},              // start on a second byte: next character
      {"x\xB0" "A", "a", 1, true, -1},                 // the trail byte 'A' is not a letter
      {"x\xB0" "Aa", "a", 1, true, 4},
      {"\xD6\xD0" "A", "\xD6\xD0" "a", 1, true, 1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Find(c.text, c.what, c.start, c.ignoreCase), c.expected)
        << "Find(\"" << c.text << "\", \"" << c.what << "\", " << c.start << ")";
  }
}

TEST(TextOps, ReverseFind) {
  EXPECT_EQ(ReverseFind("abcabc", "bc"), 5);
  EXPECT_EQ(ReverseFind("abcabc", "bc", 7), 5);   // wholly before position 7: ends at 6
  EXPECT_EQ(ReverseFind("abcabc", "bc", 6), 2);   // would end at 6, not before it
  EXPECT_EQ(ReverseFind("abcabc", "bc", 4), 2);
  EXPECT_EQ(ReverseFind("abcabc", "bc", 3), -1);
  EXPECT_EQ(ReverseFind("abcabc", "x"), -1);
  EXPECT_EQ(ReverseFind("aBCabc", "BC", std::nullopt, true), 5);
  EXPECT_EQ(ReverseFind("\xB0\xA1\xA1\xA1", "\xA1\xA1"), 3);
  EXPECT_EQ(ReverseFind("\xB0\xA1" "b", "\xA1" "b"), -1);
}

TEST(TextOps, LeftRightMid) {
  EXPECT_EQ(Left("abc", 2), "ab");
  EXPECT_EQ(Left("abc", 0), "");
  EXPECT_EQ(Left("abc", -1), "");
  EXPECT_EQ(Left("abc", 9), "abc");
  EXPECT_EQ(Right("abc", 2), "bc");
  EXPECT_EQ(Right("abc", 0), "");
  EXPECT_EQ(Right("abc", 9), "abc");
  EXPECT_EQ(Mid("abcdef", 2, 3), "bcd");
  EXPECT_EQ(Mid("abcdef", 5, 9), "ef");   // clipped at the end
  EXPECT_EQ(Mid("abcdef", 0, 2), "");
  EXPECT_EQ(Mid("abcdef", 7, 2), "");
  EXPECT_EQ(Mid("abcdef", 2, 0), "");
  EXPECT_EQ(Mid("abcdef", 3), "cdef");
}

TEST(TextOps, Replace) {
  EXPECT_EQ(Replace("aaaa", "aa", "b"), "bb");               // left to right, no overlap
  EXPECT_EQ(Replace("aXbxc", "x", "-", true), "a-b-c");
  EXPECT_EQ(Replace("aXbxc", "x", "-", false), "aXb-c");
  EXPECT_EQ(Replace("abc", "b"), "ac");                      // left-out replacement
  EXPECT_EQ(Replace("abc", "", "z"), "abc");
  EXPECT_EQ(Replace("Set-cookie: a\r\nSET-COOKIE: b", "Set-Cookie", "Set-Cookie", true),
            "Set-Cookie: a\r\nSet-Cookie: b");
  EXPECT_EQ(Replace("\xB0\xA1\xA1\xA1", "\xA1\xA1", "_"), "\xB0\xA1_");
}

TEST(TextOps, Split) {
  using V = std::vector<Text>;
  EXPECT_EQ(Split("", ";"), V{});
  EXPECT_EQ(Split("a", ";"), V{"a"});
  EXPECT_EQ(Split("a;b", ";"), (V{"a", "b"}));
  EXPECT_EQ(Split("a;;b", ";"), (V{"a", "", "b"}));
  EXPECT_EQ(Split("a;", ";"), V{"a"});             // empty last piece dropped
  EXPECT_EQ(Split("a;;", ";"), (V{"a", ""}));      // only the last one
  EXPECT_EQ(Split(";a", ";"), (V{"", "a"}));
  EXPECT_EQ(Split(";", ";"), V{""});
  EXPECT_EQ(Split("a\r\nb\r\n", "\r\n"), (V{"a", "b"}));
  EXPECT_EQ(Split("aXb", "x"), V{"aXb"});          // compared exactly
}

TEST(TextOps, TrimAndRemoveSpaces) {
  EXPECT_EQ(Trim("  a b  "), "a b");
  EXPECT_EQ(Trim("\xA1\xA1 a\xA1\xA1"), "a");
  EXPECT_EQ(Trim("\ta\r\n"), "\ta\r\n");            // tab, CR, LF are not spaces
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(Trim(""), "");
  EXPECT_EQ(Trim("\xB0\xA1 "), "\xB0\xA1");
  EXPECT_EQ(Trim("x\xB0\xA1\xA1\xA1"), "x\xB0\xA1");  // A1 of 啊 and the full-width space
  EXPECT_EQ(RemoveAllSpaces(" a b\xA1\xA1" "c "), "abc");
  EXPECT_EQ(RemoveAllSpaces("\xB0\xA1\xA1\xB0"), "\xB0\xA1\xA1\xB0");  // no A1 A1 character in it
  EXPECT_EQ(RemoveAllSpaces("a\tb"), "a\tb");
}

TEST(TextOps, Case) {
  EXPECT_EQ(ToLower("HTTP://Ab.CD"), "http://ab.cd");
  EXPECT_EQ(ToUpper("abc-xyz"), "ABC-XYZ");
  EXPECT_EQ(ToLower("\xB0" "A" "B"), "\xB0" "Ab");    // second byte never changed
  EXPECT_EQ(ToUpper("\xB0" "a" "b"), "\xB0" "aB");
}

TEST(TextOps, Compare) {
  EXPECT_EQ(Compare("", ""), 0);
  EXPECT_LT(Compare("a", "b"), 0);
  EXPECT_GT(Compare("b", "a"), 0);
  EXPECT_NE(Compare("a", "A"), 0);
  EXPECT_LT(Compare("a", "\xB0\xA1"), 0);            // bytes compare unsigned
}

TEST(TextOps, TextToInt) {
  struct Case {
    const char* text;
    std::int32_t expected;
  };
  const Case cases[] = {
      {"8080", 8080},          {"  42x", 42},        {"-17", -17},        {"+5", 5},
      {"", 0},                 {"abc", 0},           {"\t\n 7", 7},       {"- 5", 0},
      {"\xA3\xB1\xA3\xB2", 12},       // full-width digits
      {"\xA3\xAD\xA3\xB3", -3},       // full-width minus
      {"\xA3\xAB" "4", 4},
      {"1\xA3\xB2" "3", 123},
      {"2147483647", 2147483647},     {"2147483648", 2147483647},      {"99999999999999999999", 2147483647},
      {"-2147483648", -2147483647 - 1}, {"-99999999999", -2147483647 - 1},
      {"007", 7},
  };
  for (const auto& c : cases) EXPECT_EQ(TextToInt(c.text), c.expected) << c.text;
}

TEST(TextOps, NumbersAndBytes) {
  EXPECT_EQ(IntToText(0), "0");
  EXPECT_EQ(IntToText(-42), "-42");
  EXPECT_EQ(IntToText(1234567890123), "1234567890123");
  EXPECT_EQ(ByteToHex(0), "0");
  EXPECT_EQ(ByteToHex(0x0A), "A");
  EXPECT_EQ(ByteToHex(0xE4), "E4");
  EXPECT_EQ(TextToBytes("ab"), (Bytes{'a', 'b'}));
  EXPECT_EQ(BytesToText(Bytes{'a', 0, 'b'}), "a");
  EXPECT_EQ(BytesToText(Bytes{'a', 'b'}), "ab");
  EXPECT_EQ(BytesToText(Bytes{}), "");
}

}  // namespace
}  // namespace korvane
