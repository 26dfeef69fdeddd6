// WebRequest and FetchPageText against a loopback server that records each request's bytes.
#include "http/WebRequest.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "LoopbackServer.h"
#include "RequestTesting.h"

namespace korvane {
namespace {

using testing::CallerVariables;
using testing::DefaultLines;
using testing::HttpResponse;
using testing::Join;
using testing::kAgentLine;
using testing::LoopbackServer;
using testing::RecordedRequest;
using testing::Reply;

Reply Answer(std::string bytes) { return Reply{std::move(bytes), {}, false, false}; }

LoopbackServer::Handler Fixed(std::string bytes) {
  return [bytes](const RecordedRequest&) { return Answer(bytes); };
}

std::string AsString(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

class WebRequestTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearCookieStore(); }
};

TEST_F(WebRequestTest, FetchPageTextSendsTheDefaultRequest) {
  LoopbackServer server(Fixed(HttpResponse(200, {}, "hello")));
  const std::string url = server.Url("/word/x.html");
  EXPECT_EQ(FetchPageText(url), "hello");

  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  const std::string host = "Host: 127.0.0.1:" + std::to_string(server.Port());
  EXPECT_EQ(requests[0].Raw(), "GET /word/x.html HTTP/1.1\r\n" + host + "\r\n" + kAgentLine + "\r\n" +
                                   Join(DefaultLines(url)) + "\r\n\r\n");
}

TEST_F(WebRequestTest, RequestLine) {
  LoopbackServer server(Fixed(HttpResponse(200, {}, "x")));
  const std::string origin = "127.0.0.1:" + std::to_string(server.Port());
  struct Case {
    std::string url;
    int method;
    const char* line;
  };
  const Case cases[] = {
      {"http://" + origin + "/P/q?x=1", 0, "GET /P/q?x=1 HTTP/1.1"},
      {"HTTP://" + origin, 0, "GET / HTTP/1.1"},
      {origin + "/no-scheme", 0, "GET /no-scheme HTTP/1.1"},
      {"http://" + origin + "/a/../b/./c", 0, "GET /a/../b/./c HTTP/1.1"},  // sent as given
      {"http://" + origin + "/a b\t\xD6\xD0", 0, "GET /a%20b%09%D6%D0 HTTP/1.1"},
      {"http://" + origin + "/x#part", 0, "GET /x HTTP/1.1"},  // a fragment never goes on the wire
      {"http://" + origin + "/m", 1, "POST /m HTTP/1.1"},
      {"http://" + origin + "/m", 2, "HEAD /m HTTP/1.1"},
      {"http://" + origin + "/m", -1, "GET /m HTTP/1.1"},
      {"http://" + origin + "/m", 3, "GET /m HTTP/1.1"},
      {"http://" + origin + "/m", 7, "GET /m HTTP/1.1"},
  };
  for (const auto& c : cases) {
    WebRequestArgs args;
    args.url = c.url;
    args.method = c.method;
    Text diagnostic;
    args.diagnostic = &diagnostic;
    WebRequest(args);
    EXPECT_EQ(diagnostic, "") << c.url;
    const auto requests = server.Requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.back().RequestLine(), c.line) << c.url << " method " << c.method;
    EXPECT_EQ(requests.back().Header("Host"), origin);
  }
}

// The header text as completed, on return and on the wire after Host: the lines appear exactly
// once, in order, with nothing added but Host and the User-Agent the text does not hold itself.
TEST_F(WebRequestTest, HeaderText) {
  LoopbackServer server(Fixed(HttpResponse(200, {}, "x")));
  const std::string url = server.Url("/h");
  const auto defaults = DefaultLines(url);
  const std::string rest = "\r\n" + Join({defaults[1], defaults[2], defaults[3]});  // after Accept
  struct Case {
    const char* headers;
    std::optional<Text> cookies;
    std::string completed;          // `headers` on return
    std::vector<std::string> wire;  // the lines after Host
  };
  const Case cases[] = {
      {"", std::nullopt, Join(defaults), {kAgentLine, defaults[0], defaults[1], defaults[2], defaults[3]}},
      {"Accept: text/html", std::nullopt, "Accept: text/html" + rest,
       {kAgentLine, "Accept: text/html", defaults[1], defaults[2], defaults[3]}},
      // The search for "Accept:" is exact, so a lower-case line gets the default one after it.
      {"accept: text/html", std::nullopt, "accept: text/html\r\nAccept: */*" + rest,
       {kAgentLine, "accept: text/html", "Accept: */*", defaults[1], defaults[2], defaults[3]}},
      // "X-Accept:" holds "Accept:": no Accept line is added, by this text or by the HTTP stack.
      {"X-Accept: 1", std::nullopt, "X-Accept: 1" + rest, {kAgentLine, "X-Accept: 1", defaults[1], defaults[2], defaults[3]}},
      {"User-Agent: Foo", std::nullopt, "User-Agent: Foo\r\nAccept: */*" + rest,
       {"User-Agent: Foo", "Accept: */*", defaults[1], defaults[2], defaults[3]}},
      {"user-agent: Foo\r\nX-A: 1", std::nullopt, "user-agent: Foo\r\nX-A: 1\r\nAccept: */*" + rest,
       {"user-agent: Foo", "X-A: 1", "Accept: */*", defaults[1], defaults[2], defaults[3]}},
      // The text names an agent without holding a User-Agent line: that agent is sent.
      {"X-Tool: User-Agent: Bar\r\nX-B: 2", std::nullopt, "X-Tool: User-Agent: Bar\r\nX-B: 2\r\nAccept: */*" + rest,
       {"User-Agent: Bar", "X-Tool: User-Agent: Bar", "X-B: 2", "Accept: */*", defaults[1], defaults[2], defaults[3]}},
      {"Referer: http://r/\r\nContent-Type: text/plain\r\nAccept-Language: en", std::nullopt,
       "Referer: http://r/\r\nContent-Type: text/plain\r\nAccept-Language: en\r\nAccept: */*",
       {kAgentLine, "Referer: http://r/", "Content-Type: text/plain", "Accept-Language: en", "Accept: */*"}},
      {"", Text("a=1; b=2"), Join(defaults) + "\r\nCookie: a=1; b=2",
       {kAgentLine, defaults[0], defaults[1], defaults[2], defaults[3], "Cookie: a=1; b=2"}},
      {"Cookie: x=9", Text("a=1"), "Cookie: x=9\r\nAccept: */*" + rest + "\r\nCookie: a=1",
       {kAgentLine, "Cookie: x=9", "Accept: */*", defaults[1], defaults[2], defaults[3], "Cookie: a=1"}},
      {"", Text(""), Join(defaults), {kAgentLine, defaults[0], defaults[1], defaults[2], defaults[3]}},
      // A trailing line break leaves an empty line inside the text; none goes on the wire.
      {"X-A: 1\r\n", std::nullopt, "X-A: 1\r\n\r\nAccept: */*" + rest,
       {kAgentLine, "X-A: 1", "Accept: */*", defaults[1], defaults[2], defaults[3]}},
      {"X-Empty:", std::nullopt, "X-Empty:\r\nAccept: */*" + rest,
       {kAgentLine, "X-Empty:", "Accept: */*", defaults[1], defaults[2], defaults[3]}},
      {"not a header\r\nX-A: 1", std::nullopt, "not a header\r\nX-A: 1\r\nAccept: */*" + rest,
       {kAgentLine, "X-A: 1", "Accept: */*", defaults[1], defaults[2], defaults[3]}},
  };
  for (const auto& c : cases) {
    Text headers = c.headers;
    Text cookies = c.cookies.value_or("");
    WebRequestArgs args;
    args.url = url;
    args.headers = &headers;
    if (c.cookies) args.cookies = &cookies;
    EXPECT_EQ(AsString(WebRequest(args)), "x") << c.headers;
    EXPECT_EQ(headers, c.completed) << c.headers;
    const auto request = server.Requests().back();
    const std::string host = "Host: 127.0.0.1:" + std::to_string(server.Port());
    EXPECT_EQ(request.head, "GET /h HTTP/1.1\r\n" + host + "\r\n" + Join(c.wire) + "\r\n\r\n") << c.headers;
  }
}

TEST_F(WebRequestTest, RequestBody) {
  LoopbackServer server([](const RecordedRequest& request) {
    // HEAD is answered with the length its GET would have, and no body.
    if (request.RequestLine().rfind("HEAD", 0) == 0) return Answer("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\n");
    return Answer(HttpResponse(200, {}, "done"));
  });
  struct Case {
    int method;
    const char* postText;
    std::optional<Bytes> postBytes;  // left out when empty
    std::string sent;                // the body on the wire
    const char* contentLength;       // its Content-Length line's value, or "" for none
    std::optional<Bytes> postBytesAfter;
  };
  const Bytes withZero{'x', 0, 'y'};
  const Case cases[] = {
      {1, "a=1", std::nullopt, "a=1", "3", std::nullopt},
      {1, "a=1", Bytes{}, "a=1", "3", Bytes{'a', '=', '1'}},
      {1, "a=1", withZero, std::string("x\0y", 3), "3", withZero},  // `postText` is not used
      {1, "", std::nullopt, "", "0", std::nullopt},
      {0, "a=1", withZero, "", "", withZero},                        // a GET sends no body
      {0, "a=1", Bytes{}, "", "", Bytes{}},
      // A HEAD takes the text into `postBytes`, but sends no body.
      {2, "a=1", Bytes{}, "", "", Bytes{'a', '=', '1'}},
  };
  for (const auto& c : cases) {
    Bytes postBytes = c.postBytes.value_or(Bytes{});
    Text returnedHeaders;
    WebRequestArgs args;
    args.url = server.Url("/post");
    args.method = c.method;
    args.postText = c.postText;
    args.returnedHeaders = &returnedHeaders;
    if (c.postBytes) args.postBytes = &postBytes;
    const Bytes body = WebRequest(args);
    EXPECT_EQ(AsString(body), c.method == 2 ? "" : "done");
    EXPECT_NE(returnedHeaders.find("Content-Length:"), std::string::npos) << "the request failed";
    const auto request = server.Requests().back();
    EXPECT_EQ(request.body, c.sent) << c.method << " " << c.postText;
    EXPECT_EQ(request.Header("Content-Length"), c.contentLength) << c.method << " " << c.postText;
    EXPECT_LE(request.Count("Content-Length"), 1);
    EXPECT_EQ(request.Count("Content-Type"), 1);
    EXPECT_EQ(request.Count("Expect"), 0);
    if (c.postBytesAfter) {
      EXPECT_EQ(postBytes, *c.postBytesAfter) << c.method << " " << c.postText;
    }
  }
}

TEST_F(WebRequestTest, ResponseHeadersAndCookies) {
  struct Case {
    std::vector<std::string> lines;
    const char* cookies;
  };
  const Case cases[] = {
      {{}, ""},
      {{"set-cookie: sid=7; path=/"}, "sid=7"},
      {{"Set-Cookie: a=1"}, "a=1"},
      {{"Set-Cookie: a=1", "Set-Cookie: b=2; HttpOnly"}, "a=1; b=2"},
      {{"SET-COOKIE:   x=1  "}, "x=1"},
      {{"Set-Cookie2: v=1; Version=1"}, ""},
      {{"Set-Cookie: a=1", "Set-Cookie2: v=1; Version=1"}, "a=1; "},
  };
  for (const auto& c : cases) {
    const std::string response = HttpResponse(200, c.lines, "body");
    LoopbackServer server(Fixed(response));
    Text returnedCookies = "stale";
    Text returnedHeaders = "stale";
    WebRequestArgs args;
    args.url = server.Url("/r");
    args.returnedCookies = &returnedCookies;
    args.returnedHeaders = &returnedHeaders;
    EXPECT_EQ(AsString(WebRequest(args)), "body");
    // The raw header text, blank line included, with "Set-Cookie" in one spelling.
    std::string expected = response.substr(0, response.size() - 4);
    for (const char* variant : {"set-cookie", "SET-COOKIE"}) {
      for (auto at = expected.find(variant); at != std::string::npos; at = expected.find(variant)) {
        expected.replace(at, 10, "Set-Cookie");
      }
    }
    EXPECT_EQ(returnedHeaders, expected);
    EXPECT_EQ(returnedCookies, c.cookies) << Join(c.lines);
  }
}

// Headers far beyond any fixed buffer come back whole, with the cookie set at their end.
TEST_F(WebRequestTest, LongResponseHeadersComeBackWhole) {
  std::vector<std::string> lines;
  for (int i = 0; i < 300; ++i) lines.push_back("X-Filler-" + std::to_string(i) + ": " + std::string(90, 'f'));
  lines.push_back("Set-Cookie: late=1; path=/");
  const std::string response = HttpResponse(200, lines, "ok");
  LoopbackServer server(Fixed(response));
  Text returnedHeaders;
  Text returnedCookies;
  WebRequestArgs args;
  args.url = server.Url("/long");
  args.returnedHeaders = &returnedHeaders;
  args.returnedCookies = &returnedCookies;
  EXPECT_EQ(AsString(WebRequest(args)), "ok");
  EXPECT_GT(returnedHeaders.size(), 30000u);
  EXPECT_EQ(returnedHeaders, response.substr(0, response.size() - 2));
  EXPECT_EQ(returnedCookies, "late=1");
}

TEST_F(WebRequestTest, SuppliedCookiesAreSentAndMerged) {
  struct Case {
    const char* cookies;
    std::vector<std::string> setCookies;
    const char* cookieLine;  // the Cookie line on the wire, "" for none
    const char* merged;
    const char* returned;
  };
  const Case cases[] = {
      {"", {"Set-Cookie: a=1; path=/", "Set-Cookie: b=2"}, "", "a=1; b=2", "a=1;b=2"},
      {"a=1; b=2", {"Set-Cookie: b=3", "Set-Cookie: c=4; path=/"}, "a=1; b=2", "b=3; c=4; a=1", "b=3;c=4"},
      {"a=1", {"Set-Cookie: a=deleted; expires=Thu, 01 Jan 1970 00:00:00 GMT"}, "a=1", "", "a=deleted"},
      {"t=a b", {}, "t=a b", "t=ab", ""},
  };
  for (const auto& c : cases) {
    LoopbackServer server(Fixed(HttpResponse(200, c.setCookies, "x")));
    Text cookies = c.cookies;
    Text returnedCookies;
    WebRequestArgs args;
    args.url = server.Url("/c");
    args.cookies = &cookies;
    args.returnedCookies = &returnedCookies;
    EXPECT_EQ(AsString(WebRequest(args)), "x");
    const auto request = server.Requests().back();
    EXPECT_EQ(request.Header("Cookie"), c.cookieLine) << c.cookies;
    EXPECT_EQ(request.Count("Cookie"), *c.cookieLine ? 1 : 0) << c.cookies;
    EXPECT_EQ(cookies, c.merged) << c.cookies;
    EXPECT_EQ(returnedCookies, c.returned) << c.cookies;
  }
}

// Without `cookies`, the process keeps what sites set and sends it back, per host, as a browser
// does; a request that supplies `cookies` neither sends nor keeps those.
TEST_F(WebRequestTest, ProcessCookieStore) {
  LoopbackServer server([](const RecordedRequest& request) {
    const auto target = request.Target();
    if (target == "/set") return Answer(HttpResponse(200, {"Set-Cookie: s=1; path=/; HttpOnly"}, "set"));
    if (target == "/own") return Answer(HttpResponse(200, {"Set-Cookie: own=2; path=/"}, "own"));
    if (target == "/drop") return Answer(HttpResponse(200, {"Set-Cookie: s=; Max-Age=0; path=/"}, "drop"));
    return Answer(HttpResponse(200, {}, "plain"));
  });
  const auto cookieLine = [&] { return server.Requests().back().Header("Cookie"); };

  EXPECT_EQ(FetchPageText(server.Url("/set")), "set");
  EXPECT_EQ(cookieLine(), "");
  EXPECT_EQ(FetchPageText(server.Url("/plain")), "plain");
  EXPECT_EQ(cookieLine(), "s=1");

  Text cookies;
  WebRequestArgs own;
  own.url = server.Url("/own");
  own.cookies = &cookies;
  EXPECT_EQ(AsString(WebRequest(own)), "own");
  EXPECT_EQ(cookieLine(), "");
  EXPECT_EQ(cookies, "own=2");
  EXPECT_EQ(FetchPageText(server.Url("/plain")), "plain");
  EXPECT_EQ(cookieLine(), "s=1");  // "own" was not kept

  // Cookies belong to their host: "localhost" is another one.
  EXPECT_EQ(FetchPageText("http://localhost:" + std::to_string(server.Port()) + "/plain"), "plain");
  EXPECT_EQ(cookieLine(), "");

  EXPECT_EQ(FetchPageText(server.Url("/drop")), "drop");
  EXPECT_EQ(FetchPageText(server.Url("/plain")), "plain");
  EXPECT_EQ(cookieLine(), "");  // deleted by the site

  EXPECT_EQ(FetchPageText(server.Url("/set")), "set");
  ClearCookieStore();
  EXPECT_EQ(FetchPageText(server.Url("/plain")), "plain");
  EXPECT_EQ(cookieLine(), "");
}

LoopbackServer::Handler RedirectingHandler() {
  return [](const RecordedRequest& request) {
    const auto target = request.Target();
    if (target == "/start") {
      return Answer(HttpResponse(302, {"Location: /end", "Set-Cookie: hop=1"}, "moved"));
    }
    if (target == "/loop") return Answer(HttpResponse(302, {"Location: /loop"}, "again"));
    return Answer(HttpResponse(200, {"Set-Cookie: last=2"}, "final"));
  };
}

TEST_F(WebRequestTest, RedirectsAreFollowedAndOnlyTheLastResponseCounts) {
  LoopbackServer server(RedirectingHandler());
  Text cookies;
  Text returnedHeaders;
  Text returnedCookies;
  WebRequestArgs args;
  args.url = server.Url("/start");
  args.cookies = &cookies;
  args.returnedHeaders = &returnedHeaders;
  args.returnedCookies = &returnedCookies;
  EXPECT_EQ(AsString(WebRequest(args)), "final");
  EXPECT_EQ(returnedHeaders, "HTTP/1.1 200 Status\r\nSet-Cookie: last=2\r\nContent-Length: 5\r\n\r\n");
  EXPECT_EQ(returnedCookies, "last=2");
  EXPECT_EQ(cookies, "last=2");
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[1].RequestLine(), "GET /end HTTP/1.1");
}

TEST_F(WebRequestTest, NoRedirectReturnsTheRedirectItself) {
  LoopbackServer server(RedirectingHandler());
  Text returnedHeaders;
  Text returnedCookies;
  WebRequestArgs args;
  args.url = server.Url("/start");
  args.noRedirect = true;
  args.returnedHeaders = &returnedHeaders;
  args.returnedCookies = &returnedCookies;
  EXPECT_EQ(AsString(WebRequest(args)), "moved");
  EXPECT_EQ(returnedHeaders.rfind("HTTP/1.1 302", 0), 0u);
  EXPECT_EQ(returnedCookies, "hop=1");
  EXPECT_EQ(server.Requests().size(), 1u);
}

TEST_F(WebRequestTest, EndlessRedirectsFailAfterALimit) {
  LoopbackServer server(RedirectingHandler());
  CallerVariables caller;
  WebRequestArgs args;
  args.url = server.Url("/loop");
  caller.Attach(args);
  int status = -1;
  args.status = &status;
  EXPECT_TRUE(WebRequest(args).empty());
  caller.ExpectUntouched();
  EXPECT_NE(caller.diagnostic, "");
  EXPECT_EQ(status, 302);  // the last answer, which would have led on
  EXPECT_EQ(server.Requests().size(), 11u);  // the first request and ten redirects
}

TEST_F(WebRequestTest, ErrorStatusBodiesAreReturned) {
  for (const int status : {404, 500, 403, 200}) {
    LoopbackServer server(Fixed(HttpResponse(status, {}, "error page")));
    Text returnedHeaders;
    int seen = -1;
    WebRequestArgs args;
    args.url = server.Url("/missing");
    args.returnedHeaders = &returnedHeaders;
    args.status = &seen;
    EXPECT_EQ(AsString(WebRequest(args)), "error page") << status;
    EXPECT_EQ(seen, status);
    EXPECT_EQ(returnedHeaders.rfind("HTTP/1.1 " + std::to_string(status), 0), 0u);
    EXPECT_EQ(FetchPageText(server.Url("/missing")), "error page");
    FetchWatch watch;
    seen = -1;
    watch.status = &seen;
    EXPECT_EQ(FetchPageText(server.Url("/missing"), watch), "error page");
    EXPECT_EQ(seen, status);
  }
}

TEST_F(WebRequestTest, ZeroByteInTheBody) {
  const std::string body("ab\0cd", 5);
  LoopbackServer server(Fixed(HttpResponse(200, {}, body)));
  WebRequestArgs args;
  args.url = server.Url("/zero");
  EXPECT_EQ(AsString(WebRequest(args)), body);
  EXPECT_EQ(FetchPageText(server.Url("/zero")), "ab");
}

TEST_F(WebRequestTest, ConnectionsAreKeptAndReused) {
  LoopbackServer server(Fixed(HttpResponse(200, {}, "same")));
  for (int i = 0; i < 3; ++i) EXPECT_EQ(FetchPageText(server.Url("/k")), "same");
  EXPECT_EQ(server.Connections(), 1);

  WebRequestArgs fresh;
  fresh.url = server.Url("/k");
  fresh.keepConnection = false;
  EXPECT_EQ(AsString(WebRequest(fresh)), "same");
  EXPECT_EQ(AsString(WebRequest(fresh)), "same");
  EXPECT_EQ(server.Connections(), 3);
}

// A server that closes a kept connection, said or unsaid, costs the next request nothing.
TEST_F(WebRequestTest, ClosedConnectionsAreNotReused) {
  for (const bool announced : {true, false}) {
    LoopbackServer server([announced](const RecordedRequest&) {
      Reply reply = Answer(HttpResponse(200, announced ? std::vector<std::string>{"Connection: close"}
                                                       : std::vector<std::string>{}, "once"));
      reply.close = true;
      return reply;
    });
    for (int i = 0; i < 3; ++i) EXPECT_EQ(FetchPageText(server.Url("/c")), "once") << announced;
    EXPECT_EQ(server.Connections(), 3);
  }
}

TEST_F(WebRequestTest, ProxyVariablesOfTheEnvironmentAreIgnored) {
  LoopbackServer server(Fixed(HttpResponse(200, {}, "direct")));
  const std::string dead = "http://127.0.0.1:1";
  for (const char* name : {"http_proxy", "HTTPS_PROXY", "https_proxy", "ALL_PROXY", "all_proxy"}) {
    ::setenv(name, dead.c_str(), 1);
  }
  const Text body = FetchPageText(server.Url("/env"));
  for (const char* name : {"http_proxy", "HTTPS_PROXY", "https_proxy", "ALL_PROXY", "all_proxy"}) ::unsetenv(name);
  EXPECT_EQ(body, "direct");
  EXPECT_EQ(server.Requests().size(), 1u);
}

// Answers that end a request as failed: an empty body and the caller's variables as they were.
TEST_F(WebRequestTest, FailedTransfersLeaveTheCallersVariables) {
  const std::string chunkedHead = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
  const auto stalled = [](std::string bytes) {
    Reply reply = Answer(std::move(bytes));
    reply.stall = true;
    return reply;
  };
  const auto cut = [](std::string bytes) {
    Reply reply = Answer(std::move(bytes));
    reply.close = true;
    return reply;
  };
  // A chunked body one byte longer than the limit: its length is announced nowhere.
  Reply overLimit = Answer(chunkedHead);
  overLimit.stream = [](const std::function<bool(std::string_view)>& send) {
    const std::string chunk(1 << 20, 'z');
    const std::string chunkHead = "100000\r\n";
    for (std::size_t sent = 0; sent < kMaxBodyBytes; sent += chunk.size()) {
      if (!send(chunkHead + chunk + "\r\n")) return false;
    }
    return send("1\r\nz\r\n0\r\n\r\n");
  };
  struct Case {
    const char* name;
    Reply reply;
    const char* why;  // part of the diagnostic
  };
  const Case cases[] = {
      {"cut-off body", cut("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nshort"), "transfer closed"},
      {"cut-off chunks", cut(chunkedHead + "5\r\nhello\r\n"), "transfer closed"},
      {"no answer", stalled(""), "nothing moved"},
      {"stalled body", stalled("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nabc"), "nothing moved"},
      {"not HTTP", cut("hello\r\n\r\n"), "HTTP/0.9"},
      {"announced body over the limit",
       cut("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(kMaxBodyBytes + 1) + "\r\n\r\nabc"),
       "larger than 64 MiB"},
      {"chunked body over the limit", overLimit, "larger than 64 MiB"},
  };
  for (const auto& c : cases) {
    LoopbackServer server([&c](const RecordedRequest&) { return c.reply; });
    CallerVariables caller;
    WebRequestArgs args;
    args.url = server.Url("/fail");
    args.method = 1;
    args.noProgressTimeout = std::chrono::milliseconds(500);
    caller.Attach(args);
    EXPECT_TRUE(WebRequest(args).empty()) << c.name;
    caller.ExpectUntouched();
    EXPECT_NE(caller.diagnostic.find(c.why), std::string::npos) << c.name << ": " << caller.diagnostic;
    EXPECT_EQ(server.Requests().size(), 1u) << c.name;
  }
}

TEST_F(WebRequestTest, BodyAtTheLimitIsWhole) {
  LoopbackServer server([](const RecordedRequest&) {
    Reply reply = Answer("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(kMaxBodyBytes) + "\r\n\r\n");
    reply.stream = [](const std::function<bool(std::string_view)>& send) {
      const std::string chunk(1 << 20, 'b');
      for (std::size_t sent = 0; sent < kMaxBodyBytes; sent += chunk.size()) {
        if (!send(chunk)) return false;
      }
      return true;
    };
    return reply;
  });
  WebRequestArgs args;
  args.url = server.Url("/big");
  const Bytes body = WebRequest(args);
  EXPECT_EQ(body.size(), kMaxBodyBytes);
  EXPECT_EQ(std::count(body.begin(), body.end(), 'b'), static_cast<std::ptrdiff_t>(kMaxBodyBytes));
}

TEST_F(WebRequestTest, RefusedConnectionFails) {
  int port = 0;
  {
    LoopbackServer gone(Fixed(""));
    port = gone.Port();
  }
  CallerVariables caller;
  WebRequestArgs args;
  args.url = "http://127.0.0.1:" + std::to_string(port) + "/";
  caller.Attach(args);
  EXPECT_TRUE(WebRequest(args).empty());
  caller.ExpectUntouched();
  EXPECT_NE(caller.diagnostic, "");
  Text diagnostic;
  EXPECT_EQ(FetchPageText(args.url, nullptr, &diagnostic), "");
  EXPECT_NE(diagnostic, "");
}

// A server whose backlog is full never completes the connection: the connect timeout ends it.
TEST_F(WebRequestTest, UnansweredConnectTimesOut) {
  testing::Acceptor silent([](int, int, const testing::Acceptor&) {}, 0, false);
  std::vector<int> queued;
  for (int i = 0; i < 4; ++i) {
    const int socket = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(silent.Port()));
    ::connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address);
    queued.push_back(socket);
  }
  CallerVariables caller;
  WebRequestArgs args;
  args.url = "http://127.0.0.1:" + std::to_string(silent.Port()) + "/";
  args.connectTimeout = std::chrono::milliseconds(300);
  caller.Attach(args);
  EXPECT_TRUE(WebRequest(args).empty());
  caller.ExpectUntouched();
  EXPECT_NE(caller.diagnostic.find("Timeout"), std::string::npos) << caller.diagnostic;
  for (const int socket : queued) ::close(socket);
}

// Addresses whose parts cannot name a server fail before anything is sent: the host
// "ab.cd?q=1" holds a "?", a user name before "@" leaves port 0, "http=" names no proxy.
TEST_F(WebRequestTest, AddressesThatNameNoServerFail) {
  struct Case {
    const char* url;
    const char* proxy;
  };
  const Case cases[] = {
      {"http://ab.cd?q=1", ""},
      {"http://user:pw@127.0.0.1/", ""},
      {"http:///x", ""},
      {"http://127.0.0.1:70000/", ""},
      {"http://127.0.0.1:1/", "http="},
  };
  for (const auto& c : cases) {
    CallerVariables caller;
    WebRequestArgs args;
    args.url = c.url;
    args.proxy = c.proxy;
    caller.Attach(args);
    int status = -1;
    args.status = &status;
    EXPECT_TRUE(WebRequest(args).empty()) << c.url;
    caller.ExpectUntouched();
    EXPECT_NE(caller.diagnostic, "") << c.url;
    EXPECT_EQ(status, 0) << c.url;  // no answer came
  }
}

TEST_F(WebRequestTest, CancelledBeforeItStartsSendsNothing) {
  LoopbackServer server(Fixed(HttpResponse(200, {}, "x")));
  const std::atomic<bool> cancel{true};
  Text diagnostic;
  EXPECT_EQ(FetchPageText(server.Url("/"), &cancel, &diagnostic), "");
  EXPECT_EQ(diagnostic, "cancelled");
  EXPECT_EQ(server.Connections(), 0);
}

}  // namespace
}  // namespace korvane
