#include "http/Cookies.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

struct MergeCase {
  const char* oldCookies;
  const char* newCookies;
  const char* merged;
  const char* newAfter;  // `newCookies` as rewritten in place
};

TEST(Cookies, MergeCookies) {
  const MergeCase cases[] = {
      {"a=1; b=2", "b=3; c=4", "b=3; c=4; a=1", "b=3;c=4"},
      {"a=1", "a=deleted", "", "a=deleted"},
      {"a=deleted; b=1", "", "b=1", ""},
      {"", "x=1; y=2", "x=1; y=2", "x=1;y=2"},
      {"a=1;a=2", "", "a=1", ""},              // among old entries the first wins
      {"", "a=1; a=2", "a=1; a=2", "a=1;a=2"},  // the response's own entries all remain
      {"", "a=1; a=1", "a=1", "a=1;a=1"},      // exact repeats go
      {"b=2; a=1", "a=1", "a=1; b=2", "a=1"},  // the response's entries come first
      {"t=a b", "", "t=ab", ""},
      {"t=a\xA1\xA1" "b", "u=\xA1\xA1" "1", "u=1; t=ab", "u=1"},  // full-width spaces too
      {"flag; a=1", "flag=2", "flag=2; a=1", "flag=2"},
      {"A=1", "a=2", "a=2; A=1", "a=2"},
      {"a=Deleted; b=undeleted", "", "a=Deleted; b=undeleted", ""},
      {";a=1", "b=2", "b=2; ; a=1", "b=2"},
      {"", "", "", ""},
      {"a=1;", "b=2;", "b=2; a=1", "b=2;"},
      {"a=1; ;b=2", "", "a=1; ; b=2", ""},
  };
  for (const auto& c : cases) {
    Text held = c.oldCookies;
    Text fresh = c.newCookies;
    const Text copy = MergeCookies(&held, &fresh);
    EXPECT_EQ(held, c.merged) << "'" << c.oldCookies << "' + '" << c.newCookies << "'";
    EXPECT_EQ(copy, held);
    EXPECT_EQ(fresh, c.newAfter) << "'" << c.oldCookies << "' + '" << c.newCookies << "'";
  }
}

TEST(Cookies, MergeCookiesWithLeftOutArguments) {
  Text fresh = "x=1; y=2";
  EXPECT_EQ(MergeCookies(nullptr, &fresh), "x=1; y=2");
  EXPECT_EQ(fresh, "x=1;y=2");
  Text held = "a=1; b=2";
  EXPECT_EQ(MergeCookies(&held, nullptr), "a=1; b=2");
  EXPECT_EQ(held, "a=1; b=2");
  EXPECT_EQ(MergeCookies(nullptr, nullptr), "");
}

TEST(Cookies, CookieName) {
  const std::pair<const char*, const char*> cases[] = {
      {"a=1", "a"}, {" a =1", "a"}, {"flag", "flag"}, {" flag ", "flag"}, {"=v", ""},
      {"", ""},     {"a=b=c", "a"}, {"\xA1\xA1n=1", "n"},
  };
  for (const auto& [entry, name] : cases) EXPECT_EQ(CookieName(entry), name) << entry;
}

TEST(Cookies, HasCookieName) {
  const std::vector<Text> entries{"a=1", " b =2", "flag", "=x"};
  EXPECT_TRUE(HasCookieName(entries, "a"));
  EXPECT_TRUE(HasCookieName(entries, "b"));
  EXPECT_TRUE(HasCookieName(entries, "flag"));
  EXPECT_TRUE(HasCookieName(entries, ""));  // "=x" has an empty name
  EXPECT_FALSE(HasCookieName(entries, "A"));
  EXPECT_FALSE(HasCookieName(entries, "a=1"));
  EXPECT_FALSE(HasCookieName({}, ""));
}

TEST(Cookies, JoinDistinct) {
  struct Case {
    const char* text;
    const char* separator;
    const char* expected;
  };
  const Case cases[] = {
      {"a; b; a", "; ", "a; b"}, {"", "; ", ""},           {"a;a;b", ";", "a;b"},
      {"a; ; ; b", "; ", "a; ; b"}, {"x; ", "; ", "x"},    {"a,A", ",", "a,A"},
      {"b; a; b; a", "; ", "b; a"}, {"; ", "; ", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(JoinDistinct(c.text, c.separator), c.expected) << c.text;
}

}  // namespace
}  // namespace korvane
