// HTTPS against a loopback TLS server whose authority only these tests trust, and requests
// through a loopback forward proxy.
#include <gtest/gtest.h>

#include "LoopbackProxy.h"
#include "LoopbackServer.h"
#include "RequestTesting.h"
#include "TestCertificates.h"
#include "http/WebRequest.h"

namespace korvane {
namespace {

using testing::DefaultLines;
using testing::HttpResponse;
using testing::Join;
using testing::kAgentLine;
using testing::LoopbackProxy;
using testing::LoopbackServer;
using testing::RecordedRequest;
using testing::Reply;
using testing::TestCertificates;

std::string AsString(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

LoopbackServer::Handler Saying(std::string body) {
  return [body](const RecordedRequest&) { return Reply{HttpResponse(200, {}, body), {}, false, false}; };
}

class TlsTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearCookieStore(); }
  TestCertificates certificates;
};

TEST_F(TlsTest, TrustedServerAnswers) {
  LoopbackServer server(Saying("secret"), certificates.ServerContext());
  const std::string port = std::to_string(server.Port());
  for (const std::string& url : {server.Url("/s?q=1"), "HTTPS://127.0.0.1:" + port + "/s?q=1"}) {
    WebRequestArgs args;
    args.url = url;
    args.trustedCaFile = certificates.AuthorityFile();
    Text diagnostic;
    args.diagnostic = &diagnostic;
    EXPECT_EQ(AsString(WebRequest(args)), "secret") << url << ": " << diagnostic;
    const auto request = server.Requests().back();
    EXPECT_EQ(request.Raw(), "GET /s?q=1 HTTP/1.1\r\nHost: 127.0.0.1:" + port + "\r\n" + kAgentLine + "\r\n" +
                                 Join(DefaultLines(url)) + "\r\n\r\n");
  }
}

TEST_F(TlsTest, UntrustedOrMisnamedServerFails) {
  LoopbackServer server(Saying("secret"), certificates.ServerContext());
  // The system's trust store does not know the test authority; the certificate names 127.0.0.1,
  // not localhost.
  struct Case {
    std::string url;
    bool trusted;
  };
  const Case cases[] = {
      {server.Url("/s"), false},
      {"https://localhost:" + std::to_string(server.Port()) + "/s", true},
  };
  for (const auto& c : cases) {
    WebRequestArgs args;
    args.url = c.url;
    if (c.trusted) args.trustedCaFile = certificates.AuthorityFile();
    Text diagnostic;
    args.diagnostic = &diagnostic;
    EXPECT_TRUE(WebRequest(args).empty()) << c.url;
    EXPECT_NE(diagnostic, "");
  }
  EXPECT_GE(server.Connections(), 2);
  EXPECT_TRUE(server.Requests().empty());  // no request went over an unverified connection
}

TEST_F(TlsTest, RedirectFromHttpToHttpsIsFollowed) {
  LoopbackServer secure(Saying("upgraded"), certificates.ServerContext());
  const std::string target = secure.Url("/secure");
  LoopbackServer plain([target](const RecordedRequest&) {
    return Reply{HttpResponse(301, {"Location: " + target}, ""), {}, false, false};
  });
  WebRequestArgs args;
  args.url = plain.Url("/");
  args.trustedCaFile = certificates.AuthorityFile();
  EXPECT_EQ(AsString(WebRequest(args)), "upgraded");
  ASSERT_EQ(secure.Requests().size(), 1u);
  EXPECT_EQ(secure.Requests()[0].RequestLine(), "GET /secure HTTP/1.1");
}

TEST_F(TlsTest, RedirectFromHttpsToHttpIsRefused) {
  LoopbackServer plain(Saying("in the clear"));
  const std::string target = plain.Url("/plain");
  LoopbackServer secure([target](const RecordedRequest&) {
    return Reply{HttpResponse(302, {"Location: " + target}, ""), {}, false, false};
  }, certificates.ServerContext());
  WebRequestArgs args;
  args.url = secure.Url("/");
  args.trustedCaFile = certificates.AuthorityFile();
  Text diagnostic;
  args.diagnostic = &diagnostic;
  EXPECT_TRUE(WebRequest(args).empty());
  EXPECT_NE(diagnostic, "");
  EXPECT_EQ(secure.Requests().size(), 1u);
  EXPECT_TRUE(plain.Requests().empty());
}

// Which proxy a request takes: the whole text for a plain address, the list's entry for its
// scheme otherwise, and a direct connection when the list names none for it.
TEST_F(TlsTest, ProxyForms) {
  LoopbackServer plain(Saying("plain"));
  LoopbackServer secure(Saying("secure"), certificates.ServerContext());
  struct Case {
    bool https;
    std::string proxy;  // "P" stands for the proxy's address
    bool viaProxy;
  };
  const Case cases[] = {
      {false, "P", true},
      {false, "http=P", true},
      {false, "http://P", true},
      {false, "https=P", false},
      {false, "ftp=127.0.0.1:1 P", true},
      {true, "P", true},
      {true, "http=P", false},
      {true, "https=P", true},
      {true, "http=127.0.0.1:1 https=P", true},
  };
  for (const auto& c : cases) {
    LoopbackProxy proxy;
    std::string text = c.proxy;
    text.replace(text.find('P'), 1, proxy.Address());
    LoopbackServer& server = c.https ? secure : plain;
    const auto before = server.Requests().size();
    WebRequestArgs args;
    args.url = server.Url("/via");
    args.proxy = text;
    args.trustedCaFile = certificates.AuthorityFile();
    Text diagnostic;
    args.diagnostic = &diagnostic;
    EXPECT_EQ(AsString(WebRequest(args)), c.https ? "secure" : "plain") << text << ": " << diagnostic;
    EXPECT_EQ(server.Requests().size(), before + 1) << text;
    const auto heads = proxy.Heads();
    ASSERT_EQ(heads.size(), c.viaProxy ? 1u : 0u) << text;
    if (!c.viaProxy) continue;

    const std::string authority = "127.0.0.1:" + std::to_string(server.Port());
    if (c.https) {
      // The tunnel's request carries nothing of the request inside it, nor Proxy-Connection.
      EXPECT_EQ(heads[0], "CONNECT " + authority + " HTTP/1.1\r\nHost: " + authority + "\r\n" + kAgentLine + "\r\n\r\n");
    } else {
      EXPECT_EQ(heads[0], "GET " + args.url + " HTTP/1.1\r\nHost: " + authority + "\r\n" + kAgentLine + "\r\n" +
                              Join(DefaultLines(args.url)) + "\r\n\r\n");
    }
  }
}

}  // namespace
}  // namespace korvane
