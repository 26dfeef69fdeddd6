#include "http/TextBetween.h"

#include <gtest/gtest.h>

#include "http/HeaderValue.h"

namespace korvane {
namespace {

// "#引号" in code page 936: a double quote inside a mark.
constexpr const char* kQuote = "#\xD2\xFD\xBA\xC5";

struct BetweenCase {
  std::string text;
  std::string left;
  std::string right;
  int startPos;
  bool ignoreCase;
  const char* expected;
};

TEST(TextBetween, Table) {
  const std::string quote = kQuote;
  const BetweenCase cases[] = {
      {"a\"b\"c", quote, quote, 1, false, "b"},
      {"<a href=\"x.html\">", "href=" + quote, quote, 1, false, "x.html"},
      {"abc", "x", "c", 1, false, ""},
      {"abc", "a", "x", 1, false, ""},
      {"ab", "a", "b", 1, false, ""},  // the marks touch
      {"", "a", "b", 1, false, ""},
      {"xaYbz", "a", "b", 1, false, "Y"},
      {"b a x b", "a", "b", 1, false, " x "},  // the right mark is looked for after the left
      {"a1ba2b", "a", "b", 2, false, "2"},
      {"a1ba2b", "a", "b", 0, false, "1"},    // 1 or less: the beginning
      {"a1ba2b", "a", "b", -5, false, "1"},
      {"a1ba2b", "a", "b", 7, false, ""},     // beyond the end
      {"xAyBz", "a", "b", 1, true, "y"},
      {"xAyBz", "a", "b", 1, false, ""},
      {"User-Agent: Foo\r\nX: 1", "user-agent:", "\r\n", 1, true, " Foo"},
      // Matches start on whole characters: B0 61 is one character whose second byte is "a".
      {"\xB0" "aXaYb", "a", "b", 1, false, "Y"},
      {"a1\xB0" "b2b", "a", "b", 1, false, "1\xB0" "b2"},
      {"\xD6\xD0" "x\xB9\xFA", "\xD6\xD0", "\xB9\xFA", 1, false, "x"},  // 中x国
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TextBetween(c.text, c.left, c.right, c.startPos, c.ignoreCase), c.expected)
        << "TextBetween(\"" << c.text << "\", \"" << c.left << "\", \"" << c.right << "\", "
        << c.startPos << ", " << c.ignoreCase << ")";
  }
}

TEST(HeaderValue, Table) {
  const std::pair<const char*, const char*> cases[] = {
      {"Host:  x.y ", "x.y"},
      {"none", ""},
      {"a:b:c", "b:c"},
      {":", ""},
      {"User-Agent: Foo\r\nX: 1", "Foo\r\nX: 1"},
      {"a:\xA1\xA1v\xA1\xA1", "v"},  // full-width spaces are trimmed
      {"a:\tv ", "\tv"},              // a tab is not
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(HeaderValue(text), expected) << text;
}

}  // namespace
}  // namespace korvane
