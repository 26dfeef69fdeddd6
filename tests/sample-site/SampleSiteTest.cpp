#include "sample-site/HostilePages.h"
#include "sample-site/SampleSite.h"
#include "sample-site/SitePages.h"

#include "ClientReading.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <httplib.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <thread>

extern char** environ;

namespace korvane::site {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using testing::CutRows;
using testing::IsValidUtf8;
using testing::ReadAsClient;
using testing::ReadCount;

const std::string kDefaultKeyword = "速度与激情7";

std::string Ordinary(const std::string& keyword, int page) {
  return RenderPage(ParseKeyword(keyword), PageAddress{keyword, page > 0, page});
}

struct Fd {
  int fd = -1;
  explicit Fd(int f) : fd(f) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() {
    if (fd >= 0) close(fd);
  }
};

// A request sent over a plain socket and everything that came back, with how it ended: what
// an HTTP client library would smooth over (a reset against an orderly close, a body shorter
// than its announced length) stays visible.
struct RawAnswer {
  enum class End { Eof, Reset, Timeout, Failed };
  std::string bytes;
  End end = End::Failed;

  std::string Headers() const { return bytes.substr(0, bytes.find("\r\n\r\n")); }
  std::string Body() const {
    const auto at = bytes.find("\r\n\r\n");
    return at == std::string::npos ? std::string() : bytes.substr(at + 4);
  }
  long ContentLength() const {
    const std::string h = Headers();
    const auto at = h.find("Content-Length: ");
    return at == std::string::npos ? -1 : std::stol(h.substr(at + 16));
  }
};

int ConnectLoopback(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<uint16_t>(port));
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}


RawAnswer RawExchange(int port, const std::string& request,
                      std::chrono::milliseconds limit = 10s) {
  RawAnswer answer;
  Fd sock(ConnectLoopback(port));
  if (sock.fd < 0 ||
      send(sock.fd, request.data(), request.size(), MSG_NOSIGNAL) != ssize_t(request.size())) {
    return answer;
  }
  const auto deadline = Clock::now() + limit;
  char buf[65536];
  while (true) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    pollfd p{sock.fd, POLLIN, 0};
    if (left.count() <= 0 || poll(&p, 1, int(left.count())) == 0) {
      answer.end = RawAnswer::End::Timeout;
      return answer;
    }
    const ssize_t n = recv(sock.fd, buf, sizeof buf, 0);
    if (n > 0) {
      answer.bytes.append(buf, size_t(n));
    } else if (n == 0) {
      answer.end = RawAnswer::End::Eof;
      return answer;
    } else if (errno != EINTR) {
      answer.end = errno == ECONNRESET ? RawAnswer::End::Reset : RawAnswer::End::Failed;
      return answer;
    }
  }
}

std::string GetRequest(const std::string& target, bool close = true) {
  return "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" +
         (close ? "Connection: close\r\n" : "") + "\r\n";
}

RawAnswer RawGet(int port, const std::string& target, std::chrono::milliseconds limit = 10s) {
  return RawExchange(port, GetRequest(target), limit);
}

bool SendRequest(int fd, const std::string& target) {
  const std::string request = GetRequest(target);
  return send(fd, request.data(), request.size(), MSG_NOSIGNAL) == ssize_t(request.size());
}

// Polls, briefly, until the site has seen `count` requests.
bool WaitForRequests(const SampleSite& site, size_t count) {
  for (int i = 0; i < 500; ++i) {
    if (site.Requests().size() >= count) return true;
    std::this_thread::sleep_for(10ms);
  }
  return false;
}

class SampleSiteTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(site.Start()) << site.Error(); }

  httplib::Client Client() const {
    httplib::Client client("127.0.0.1", site.Port());
    client.set_read_timeout(10, 0);
    client.set_connection_timeout(5, 0);
    client.set_url_encode(false);
    return client;
  }
  httplib::Result Get(const std::string& target) const { return Client().Get(target.c_str()); }
  httplib::Result Get(const std::string& keyword, int page) const {
    return Get(PagePath(keyword, page));
  }

  SampleSite site;
};

TEST_F(SampleSiteTest, ServesThePagesTheClientReads) {
  EXPECT_EQ(site.BaseAddress(), "http://127.0.0.1:" + std::to_string(site.Port()));
  const auto first = Get(kDefaultKeyword, 0);
  ASSERT_TRUE(first) << httplib::to_string(first.error());
  EXPECT_EQ(first->status, 200);
  EXPECT_EQ(first->get_header_value("Content-Type"), "text/html; charset=utf-8");
  EXPECT_EQ(first->body, Ordinary(kDefaultKeyword, 0));
  EXPECT_EQ(ReadCount(ReadAsClient(first->body)), 2);
  for (int page : {1, 2}) {
    const auto numbered = Get(kDefaultKeyword, page);
    ASSERT_TRUE(numbered);
    EXPECT_EQ(numbered->status, 200);
    EXPECT_EQ(CutRows(ReadAsClient(numbered->body)), PageRows(kDefaultKeyword, page));
  }
}

TEST_F(SampleSiteTest, RequestLogKeepsTargetsInOrder) {
  const std::vector<std::string> targets = {
      PagePath(kDefaultKeyword, 0), PagePath(kDefaultKeyword, 1), PagePath(kDefaultKeyword, 2),
      "/word/.html", "/word/x_1.html?hop=1", "/nothing", "/",
  };
  for (const auto& t : targets) ASSERT_TRUE(Get(t)) << t;
  EXPECT_EQ(site.Requests(), targets);
  site.ClearRequests();
  EXPECT_TRUE(site.Requests().empty());
  ASSERT_TRUE(Get(targets[1]));
  EXPECT_EQ(site.Requests(), std::vector{targets[1]});
}

TEST_F(SampleSiteTest, AnswersOtherPathsAndMethods) {
  const auto home = Get("/");
  ASSERT_TRUE(home);
  EXPECT_EQ(home->status, 200);
  const auto missing = Get("/read/ABC.html");
  ASSERT_TRUE(missing);
  EXPECT_EQ(missing->status, 404);
  EXPECT_FALSE(missing->body.empty());
  const auto post = Client().Post(PagePath("abc", 0).c_str(), "x", "text/plain");
  ASSERT_TRUE(post);
  EXPECT_EQ(post->status, 405);
  // The absolute form that requests through a proxy use.
  const std::string absolute = site.BaseAddress() + PagePath("abc", 1);
  const RawAnswer proxied = RawGet(site.Port(), absolute);
  EXPECT_TRUE(proxied.bytes.starts_with("HTTP/1.1 200 ")) << proxied.Headers();
  EXPECT_EQ(proxied.Body(), Ordinary("abc", 1));
  EXPECT_EQ(site.Requests().back(), absolute);
}

TEST_F(SampleSiteTest, AnswersRequestsSentTogetherOnOneConnection) {
  // The second request is already read, into the site's buffer, when the first is answered.
  const std::string first = PagePath("abc", 1);
  const std::string second = PagePath("abc", 2);
  const RawAnswer a = RawExchange(site.Port(), GetRequest(first, false) + GetRequest(second));
  EXPECT_EQ(a.end, RawAnswer::End::Eof);
  const std::string one = Ordinary("abc", 1);
  const std::string two = Ordinary("abc", 2);
  const auto at = a.bytes.find(one);
  ASSERT_NE(at, std::string::npos);
  const std::string rest = a.bytes.substr(at + one.size());
  EXPECT_TRUE(rest.starts_with("HTTP/1.1 200 OK\r\n")) << rest.substr(0, 200);
  EXPECT_TRUE(rest.ends_with("\r\n\r\n" + two));
  EXPECT_EQ(site.Requests(), (std::vector{first, second}));
}

TEST_F(SampleSiteTest, ErrorStatusesComeWithABodyAndNoRows) {
  const std::pair<std::string, int> cases[] = {
      {"abc#fault=404", 404}, {"abc#fault=500", 500}, {"abc#fault=status:503", 503}};
  for (const auto& [keyword, status] : cases) {
    for (int page : {0, 1}) {
      const auto r = Get(keyword, page);
      ASSERT_TRUE(r) << keyword;
      EXPECT_EQ(r->status, status) << keyword;
      EXPECT_EQ(r->body, RenderErrorPage(status));
      EXPECT_TRUE(CutRows(ReadAsClient(r->body)).empty());
      EXPECT_EQ(ReadCount(ReadAsClient(r->body)), 0);
    }
  }
}

TEST_F(SampleSiteTest, CutOffAnnouncesTheWholeBodyAndSendsPart) {
  struct Case {
    std::string keyword;
    int percent;
  };
  for (const auto& c : {Case{"abc#fault=cut", 50}, Case{"abc#fault=cut:10@1", 10}}) {
    const std::string whole = Ordinary(c.keyword, 1);
    const RawAnswer a = RawGet(site.Port(), PagePath(c.keyword, 1));
    EXPECT_EQ(a.end, RawAnswer::End::Eof) << c.keyword;
    EXPECT_TRUE(a.bytes.starts_with("HTTP/1.1 200 OK\r\n")) << a.Headers();
    EXPECT_EQ(a.ContentLength(), long(whole.size()));
    EXPECT_EQ(a.Body(), whole.substr(0, whole.size() * size_t(c.percent) / 100));
  }
}

TEST_F(SampleSiteTest, ResetAbortsBeforeAnyByte) {
  const RawAnswer a = RawGet(site.Port(), PagePath("abc#fault=reset", 1));
  EXPECT_EQ(a.end, RawAnswer::End::Reset);
  EXPECT_TRUE(a.bytes.empty()) << a.bytes;
  // The site goes on serving.
  const auto after = Get("abc", 1);
  ASSERT_TRUE(after);
  EXPECT_EQ(after->status, 200);
}

TEST_F(SampleSiteTest, TrickleSpreadsTheBodyOverTime) {
  const std::string keyword = "abc#fault=trickle:600";
  std::string body;
  int pieces = 0;
  const auto start = Clock::now();
  const auto r = Client().Get(PagePath(keyword, 1).c_str(), [&](const char* data, size_t n) {
    body.append(data, n);
    ++pieces;
    return true;
  });
  const auto elapsed = Clock::now() - start;
  ASSERT_TRUE(r) << httplib::to_string(r.error());
  EXPECT_EQ(body, Ordinary(keyword, 1));
  EXPECT_GE(pieces, 10);
  EXPECT_GE(elapsed, 500ms);
}

TEST_F(SampleSiteTest, DelaysHoldTheAnswerAndAddUp) {
  site.AddRule(FaultRule{{PageSelector::Kind::Numbered, 0}, Fault::None, 0, 150});
  const struct {
    std::string keyword;
    int page;
    std::chrono::milliseconds atLeast;
  } cases[] = {
      {"abc#delay=300@first", 0, 300ms},
      {"abc#delay=200", 1, 350ms},  // the keyword's and the site's
  };
  for (const auto& c : cases) {
    const auto start = Clock::now();
    const auto r = Get(c.keyword, c.page);
    ASSERT_TRUE(r);
    EXPECT_GE(Clock::now() - start, c.atLeast) << c.keyword;
    EXPECT_EQ(r->body, Ordinary(c.keyword, c.page));
  }
}

TEST_F(SampleSiteTest, HugePageIsStreamedWhole) {
  const std::string keyword = "abc#fault=huge@first";
  uint64_t received = 0;
  std::string start, end;
  const auto r = Client().Get(PagePath(keyword, 0).c_str(), [&](const char* data, size_t n) {
    if (start.size() < 65536) start.append(data, std::min(n, 65536 - start.size()));
    received += n;
    end.append(data, n);
    if (end.size() > 4096) end.erase(0, end.size() - 4096);
    return true;
  });
  ASSERT_TRUE(r) << httplib::to_string(r.error());
  EXPECT_EQ(r->get_header_value("Content-Length"), "104857600");
  EXPECT_EQ(received, 100ull << 20);
  const auto rows = PageRows(keyword, 1);
  EXPECT_NE(start.find(ResultBlock(rows.front())), std::string::npos);
  EXPECT_TRUE(end.ends_with("</body>\n</html>\n"));
  EXPECT_EQ(ReadCount(ReadAsClient(end)), 2);
}

TEST_F(SampleSiteTest, RedirectLoopsBetweenTwoAddresses) {
  // On the wire, since the HTTP library's client decodes Location headers as it reads them.
  const auto location = [](const RawAnswer& a) {
    const std::string h = a.Headers();
    const auto at = h.find("\r\nLocation: ");
    return at == std::string::npos ? std::string() : h.substr(at + 12, h.find("\r\n", at + 2) - at - 12);
  };
  const std::string path = PagePath("abc#fault=redirect@1", 1);
  const std::string base = site.BaseAddress();
  const RawAnswer first = RawGet(site.Port(), path);
  EXPECT_TRUE(first.bytes.starts_with("HTTP/1.1 302 ")) << first.Headers();
  EXPECT_EQ(location(first), base + path + "?hop=1");
  const RawAnswer second = RawGet(site.Port(), path + "?hop=1");
  EXPECT_TRUE(second.bytes.starts_with("HTTP/1.1 302 ")) << second.Headers();
  EXPECT_EQ(location(second), base + path);
  // The other pages of the keyword are fine.
  const auto other = Get("abc#fault=redirect@1", 2);
  ASSERT_TRUE(other);
  EXPECT_EQ(other->status, 200);

  // A client that follows goes round until its own limit.
  site.AddRule(FaultRule{{PageSelector::Kind::Page, 1}, Fault::RedirectLoop, 0, 0});
  site.ClearRequests();
  auto client = Client();
  client.set_follow_location(true);
  const auto followed = client.Get(PagePath("abc", 1).c_str());
  EXPECT_EQ(followed.error(), httplib::Error::ExceedRedirectCount);
  const auto log = site.Requests();
  ASSERT_GE(log.size(), 4u);
  for (size_t i = 0; i < log.size(); ++i) {
    const auto page = ParsePagePath(log[i]);
    ASSERT_TRUE(page) << log[i];
    EXPECT_EQ(page->keyword, "abc");
    EXPECT_EQ(page->number, 1);
    EXPECT_EQ(log[i].ends_with("?hop=1"), i % 2 == 1) << log[i];
  }
}

TEST_F(SampleSiteTest, BadUtf8AndBacktrackPagesOverHttp) {
  const auto bad = Get("abc#fault=badutf8", 1);
  ASSERT_TRUE(bad);
  EXPECT_EQ(bad->status, 200);
  EXPECT_FALSE(IsValidUtf8(bad->body));
  EXPECT_EQ(CutRows(ReadAsClient(bad->body)).size(), PageRows("abc", 1).size());

  const auto heavy = Get("abc#fault=backtrack:40", 1);
  ASSERT_TRUE(heavy);
  const KeywordPlan plan = ParseKeyword("abc#fault=backtrack:40");
  EXPECT_EQ(heavy->body, RenderBacktrackPage(plan, PageAddress{plan.keyword, true, 1}, 40));
}

TEST_F(SampleSiteTest, FaultsSelectTheirPages) {
  struct Case {
    std::string keyword;
    int page;
    int status;  // -1: reset
  };
  const Case cases[] = {
      {"abc#fault=500@1", 0, 200}, {"abc#fault=500@1", 1, 500},  {"abc#fault=500@1", 2, 200},
      {"abc#fault=reset@first", 0, -1}, {"abc#fault=reset@first", 1, 200},
      {"abc#fault=404@numbered", 0, 200}, {"abc#fault=404@numbered", 2, 404},
      // The first fault that selects a page is the one that applies.
      {"abc#fault=404@2#fault=500", 2, 404}, {"abc#fault=404@2#fault=500", 1, 500},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.keyword + " page " + std::to_string(c.page));
    const RawAnswer a = RawGet(site.Port(), PagePath(c.keyword, c.page));
    if (c.status < 0) {
      EXPECT_EQ(a.end, RawAnswer::End::Reset);
      continue;
    }
    EXPECT_TRUE(a.bytes.starts_with("HTTP/1.1 " + std::to_string(c.status) + " ")) << a.Headers();
    if (c.status == 200) {
      EXPECT_EQ(a.Body(), Ordinary(c.keyword, c.page));
    }
  }
}

TEST_F(SampleSiteTest, SiteRulesApplyAfterTheKeywordsOwn) {
  site.AddRule(FaultRule{{PageSelector::Kind::Numbered, 0}, Fault::Status, 404, 0});
  const struct {
    std::string keyword;
    int page;
    int status;
  } cases[] = {
      {"abc", 0, 200},
      {"abc", 1, 404},
      {"xyz", 2, 404},
      {"abc#fault=500@1", 1, 500},
      {"abc#fault=500@1", 2, 404},
  };
  for (const auto& c : cases) {
    const auto r = Get(c.keyword, c.page);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, c.status) << c.keyword << " page " << c.page;
  }
  site.ClearRules();
  const auto r = Get("abc", 1);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->status, 200);
}

TEST_F(SampleSiteTest, StopEndsSlowAnswersAtOnce) {
  const int port = site.Port();
  std::vector<std::thread> clients;
  std::atomic<int> finished{0};
  std::atomic<bool> stopped{false};
  // A minute-long delay, a minute-long trickle, and a gigabyte that nobody reads, so that the
  // site's writes block once the socket buffers are full and would hold until its write timeout.
  for (const std::string keyword :
       {"abc#delay=60000", "abc#fault=trickle:60000", "abc#fault=huge:1024"}) {
    clients.emplace_back([port, keyword, &finished, &stopped] {
      Fd sock(ConnectLoopback(port));
      if (sock.fd >= 0 && SendRequest(sock.fd, PagePath(keyword, 1))) {
        if (keyword.find("huge") != std::string::npos) {
          for (int i = 0; i < 2000 && !stopped; ++i) std::this_thread::sleep_for(10ms);
        } else {
          pollfd p{sock.fd, POLLIN, 0};
          while (poll(&p, 1, 30000) > 0) {
            char buf[4096];
            if (recv(sock.fd, buf, sizeof buf, 0) <= 0) break;
          }
        }
      }
      ++finished;
    });
  }
  Fd idle(ConnectLoopback(port));  // a connection that never sends a request
  ASSERT_GE(idle.fd, 0);
  ASSERT_TRUE(WaitForRequests(site, 3));
  std::this_thread::sleep_for(300ms);  // let the huge answer fill the socket buffers

  const auto start = Clock::now();
  site.Stop();
  const auto took = Clock::now() - start;
  stopped = true;
  EXPECT_LT(took, 2500ms) << "the blocked write alone would have held it for 5 s";
  EXPECT_FALSE(site.Running());
  for (auto& t : clients) t.join();
  EXPECT_EQ(finished, 3);
}

TEST_F(SampleSiteTest, LifecycleAndBinding) {
  SampleSite other;
  EXPECT_FALSE(other.Start(site.Port())) << "took a port in use";
  EXPECT_FALSE(other.Error().empty());
  for (const std::string host : {"0.0.0.0", "192.0.2.1", "example.invalid", "::", ""}) {
    EXPECT_FALSE(other.Start(0, host)) << host;
    EXPECT_NE(other.Error().find("loopback"), std::string::npos) << host;
  }
  EXPECT_FALSE(other.Running());
  EXPECT_FALSE(site.Start()) << "started twice";

  ASSERT_TRUE(other.Start(0, "localhost")) << other.Error();
  EXPECT_NE(other.Port(), site.Port());
  EXPECT_TRUE(other.BaseAddress().starts_with("http://127.0.0.1:"));

  site.Stop();
  site.Stop();
  EXPECT_EQ(site.Port(), 0);
  EXPECT_EQ(site.BaseAddress(), "");
  ASSERT_TRUE(site.Start()) << site.Error();
  const auto r = Get("abc", 1);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->status, 200);
}

TEST(SampleSiteIpv6, ServesOnIpv6Loopback) {
  SampleSite site;
  if (!site.Start(0, "::1")) GTEST_SKIP() << "no IPv6 loopback here: " << site.Error();
  EXPECT_EQ(site.BaseAddress(), "http://[::1]:" + std::to_string(site.Port()));
  httplib::Client client("::1", site.Port());
  client.set_read_timeout(10, 0);
  const auto r = client.Get(PagePath("abc", 1).c_str());
  ASSERT_TRUE(r) << httplib::to_string(r.error());
  EXPECT_EQ(CutRows(ReadAsClient(r->body)), PageRows("abc", 1));
  const auto reset = client.Get(PagePath("abc#fault=reset", 1).c_str());
  EXPECT_FALSE(reset);
}

// --- the program -------------------------------------------------------------------------

struct Program {
  pid_t pid = -1;
  int out = -1;  // its standard output

  ~Program() {
    if (pid > 0) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
    if (out >= 0) close(out);
  }

  bool Spawn(const std::vector<std::string>& args) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> all{KORVANE_SAMPLE_SITE_PROGRAM};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    out = fds[0];
    if (rc != 0) pid = -1;
    return rc == 0;
  }

  // The first line of its output, waiting at most `limit`.
  std::string FirstLine(std::chrono::milliseconds limit) {
    std::string line;
    const auto deadline = Clock::now() + limit;
    while (line.find('\n') == std::string::npos) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
      pollfd p{out, POLLIN, 0};
      if (left.count() <= 0 || poll(&p, 1, int(left.count())) <= 0) break;
      char buf[256];
      const ssize_t n = read(out, buf, sizeof buf);
      if (n <= 0) break;
      line.append(buf, size_t(n));
    }
    return line.substr(0, line.find('\n'));
  }

  // Its exit status, waiting at most `limit`; -1 if it is still running then.
  int Wait(std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    while (Clock::now() < deadline) {
      int status = 0;
      if (waitpid(pid, &status, WNOHANG) == pid) {
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      std::this_thread::sleep_for(10ms);
    }
    return -1;
  }
};

TEST(SampleSiteProgram, ServesUntilSignalled) {
  for (const int sig : {SIGTERM, SIGINT}) {
    Program program;
    ASSERT_TRUE(program.Spawn({"--port", "0"}));
    const std::string base = program.FirstLine(10s);
    ASSERT_TRUE(base.starts_with("http://127.0.0.1:")) << base;
    const int port = std::stoi(base.substr(17));
    httplib::Client client("127.0.0.1", port);
    client.set_read_timeout(10, 0);
    const auto r = client.Get(PagePath(kDefaultKeyword, 1).c_str());
    ASSERT_TRUE(r);
    EXPECT_EQ(CutRows(ReadAsClient(r->body)), PageRows(kDefaultKeyword, 1));

    // Stopping mid-way through a slow answer is still prompt and clean.
    Fd slow(ConnectLoopback(port));
    ASSERT_TRUE(SendRequest(slow.fd, PagePath("abc#delay=60000", 1)));
    std::this_thread::sleep_for(100ms);
    kill(program.pid, sig);
    EXPECT_EQ(program.Wait(5s), 0) << strsignal(sig);
  }
}

TEST(SampleSiteProgram, RefusesBadArguments) {
  const struct {
    std::vector<std::string> args;
    int status;
  } cases[] = {
      {{"--port", "70000"}, 2},
      {{"--port", "x"}, 2},
      {{"--port"}, 2},
      {{"--bogus"}, 2},
      {{"--host", "0.0.0.0"}, 1},
      {{"--help"}, 0},
  };
  for (const auto& c : cases) {
    Program program;
    ASSERT_TRUE(program.Spawn(c.args));
    EXPECT_EQ(program.Wait(5s), c.status) << c.args[0];
  }
}

}  // namespace
}  // namespace korvane::site
