// The text routines around a request, apart from the wire: what the agent is, how a header text
// is cut into lines, which cookies a response's headers set, which proxy a request takes.
#include <gtest/gtest.h>

#include "http/ProxyList.h"
#include "http/RequestHeaders.h"
#include "http/ResponseHeaders.h"

namespace korvane {
namespace {

TEST(RequestText, RequestAgent) {
  const std::pair<const char*, std::string_view> cases[] = {
      {"", kDefaultUserAgent},
      {"Accept: */*", kDefaultUserAgent},
      {"User-Agent: Foo", "Foo"},                        // no "\r\n": the value after the first ":"
      {"user-agent: Foo\r\nX-A: 1", "Foo\r\nX-A: 1"},    // found without case, not cut out with it
      {"X-A: 1\r\nUser-Agent:  Bar \r\nX-B: 2", "Bar"},
      {"X-Tool: User-Agent: Bar\r\nX-B: 2", "Bar"},
      {"User-Agent: \r\nX: 1", "\r\nX: 1"},
  };
  for (const auto& [headers, agent] : cases) EXPECT_EQ(RequestAgent(headers), agent) << headers;
}

TEST(RequestText, HeaderLines) {
  using Lines = std::vector<Text>;
  const std::pair<const char*, Lines> cases[] = {
      {"", {}},
      {"\r\n", {}},
      {"a: 1\r\nb: 2", {"a: 1", "b: 2"}},
      {"a: 1\r\n\r\nb: 2\r\n", {"a: 1", "b: 2"}},  // an empty line would end the header block
      {"a: 1\nb: 2\rc: 3", {"a: 1", "b: 2", "c: 3"}},
  };
  for (const auto& [text, lines] : cases) EXPECT_EQ(HeaderLines(text), lines) << text;
}

TEST(RequestText, HoldsHeaderLine) {
  const std::vector<Text> lines{"user-AGENT: x", "X-Accept: 1", "Accept-Language: zh-cn"};
  EXPECT_TRUE(HoldsHeaderLine(lines, "User-Agent"));
  EXPECT_FALSE(HoldsHeaderLine(lines, "Accept"));
  EXPECT_FALSE(HoldsHeaderLine({"User-Agents: x", " User-Agent: y"}, "User-Agent"));
}

TEST(ResponseText, NormaliseSetCookie) {
  EXPECT_EQ(NormaliseSetCookie("set-cookie: a=1\r\nSET-COOKIE: b=2\r\nSet-cookie2: c\r\n"),
            "Set-Cookie: a=1\r\nSet-Cookie: b=2\r\nSet-Cookie2: c\r\n");
}

TEST(ResponseText, ResponseCookies) {
  const std::pair<const char*, const char*> cases[] = {
      {"", ""},
      {"HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", ""},
      {"Set-Cookie: sid=7; path=/\r\n", "sid=7"},
      {"Set-Cookie: a=1\r\n", "a=1"},
      {"Set-Cookie: a=1\r\nSet-Cookie: b=2; HttpOnly\r\n", "a=1; b=2"},
      {"Set-Cookie:  a = 1 ;x\r\n", "a = 1"},
      {"set-cookie: a=1\r\n", ""},  // exact case: the spelling is made one before this
      {"Set-Cookie2: v=1; Version=1\r\n", ""},     // holds "Set-Cookie" but not "Set-Cookie:"
      {"Set-Cookie: a=1\r\nSet-Cookie2: v=1; Version=1\r\n", "a=1; "},
      {"Set-Cookie: a=1\r\nSet-Cookie2: v=1; Version=1\r\nSet-Cookie: b=2\r\n", "a=1; ; b=2"},
      {"X: a; Set-Cookie: b\r\n", ""},              // no ";" after "Set-Cookie:"
  };
  for (const auto& [headers, cookies] : cases) EXPECT_EQ(ResponseCookies(headers), cookies) << headers;
}

TEST(ProxyList, ProxyForRequest) {
  struct Case {
    const char* list;
    bool https;
    std::optional<Text> expected;
  };
  const Case cases[] = {
      {"", false, ""},
      {"", true, ""},
      {"   ", false, ""},
      {"p:8080", false, "http://p:8080"},
      {"p:8080", true, "http://p:8080"},
      {"p", false, "http://p:80"},
      {"http://p:3128", false, "http://p:3128"},
      {"http=p:1", false, "http://p:1"},
      {"http=p:1", true, ""},                       // no proxy for HTTPS: direct
      {"https=q:2", false, ""},
      {"https=q:2", true, "http://q:2"},
      {"http=p:1 https=q:2", false, "http://p:1"},
      {"http=p:1 https=q:2", true, "http://q:2"},
      {"http=p:1;https=q:2", true, "http://q:2"},
      {"HTTPS=q:2", true, "http://q:2"},
      {"r:3 https=q:2", true, "http://q:2"},        // a named entry wins over one for every scheme
      {"https=q:2 r:3", true, "http://q:2"},
      {"socks=s:1 r:3", true, "http://r:3"},
      {"[::1]:8080", true, "http://[::1]:8080"},
      {"[::1]", true, "http://[::1]:80"},
      {"http=", false, std::nullopt},              // named but unusable: the request must fail
      {"p:1/x", false, std::nullopt},
      {"u@p:1", true, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ProxyForRequest(c.list, c.https), c.expected) << "'" << c.list << "' https=" << c.https;
  }
}

}  // namespace
}  // namespace korvane
