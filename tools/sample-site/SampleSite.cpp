#include "sample-site/SampleSite.h"

#include "sample-site/ConnectionStream.h"
#include "sample-site/HostilePages.h"
#include "sample-site/KeywordPlan.h"
#include "sample-site/SitePages.h"

#include <arpa/inet.h>
#include <httplib.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <set>
#include <thread>

namespace korvane::site {

namespace {

constexpr const char* kHtml = "text/html; charset=utf-8";
constexpr size_t kChunk = 64 * 1024;
// Bounds the log of a long-running site; tests see far fewer requests.
constexpr size_t kMaxLoggedRequests = 100'000;

// What one request is to get, decided from its page and the rules that select it.
struct Answer {
  int delayMs = 0;
  FaultRule fault;  // fault == None: the ordinary page
};

Answer Decide(const std::vector<FaultRule>& keywordRules, const std::vector<FaultRule>& siteRules,
              const PageAddress& page) {
  Answer answer;
  bool faultChosen = false;
  for (const auto* rules : {&keywordRules, &siteRules}) {
    for (const auto& rule : *rules) {
      if (!rule.where.Matches(page.numbered, page.number)) continue;
      answer.delayMs = std::min(answer.delayMs + std::clamp(rule.delayMs, 0, kMaxDelayMs),
                                kMaxDelayMs);
      if (!faultChosen && rule.fault != Fault::None) {
        answer.fault = rule;
        faultChosen = true;
      }
    }
  }
  return answer;
}

// The connection whose request this thread is answering.
thread_local int tConnection = -1;

// The library's server with a connection loop of the site's own, so that the site holds every
// connection's socket: a reset needs the socket of the request in hand, and Stop cuts them all
// at once instead of waiting out idle keep-alives and writes blocked on slow readers.
class SiteServer final : public httplib::Server {
 public:
  // Shuts down every open connection and refuses new ones.
  void CutConnections() {
    std::lock_guard lock(mutex_);
    cut_ = true;
    for (const int fd : open_) shutdown(fd, SHUT_RDWR);
  }

  // Connections served to their end.
  size_t Served() {
    std::lock_guard lock(mutex_);
    return served_;
  }

 private:
  bool process_and_close_socket(int sock) override {
    {
      // Closing happens only after the descriptor leaves the set, so CutConnections never
      // touches a descriptor that was closed and reused.
      std::lock_guard lock(mutex_);
      if (cut_) {
        close(sock);
        return false;
      }
      open_.insert(sock);
    }
    // Headers and body go out in separate writes; with Nagle on, a reused connection would wait
    // for the client's delayed ACK (about 40 ms) before every body.
    const int one = 1;
    setsockopt(sock, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    const auto ms = [](time_t sec, time_t usec) {
      return static_cast<int>(sec * 1000 + usec / 1000);
    };
    ConnectionStream stream(sock, ms(read_timeout_sec_, read_timeout_usec_),
                            ms(write_timeout_sec_, write_timeout_usec_));
    tConnection = sock;
    bool ok = false;
    for (size_t left = keep_alive_max_count_; left > 0 && svr_sock_ != INVALID_SOCKET; --left) {
      if (!stream.WaitForRequest(ms(keep_alive_timeout_sec_, 0))) break;
      bool closed = false;
      ok = process_request(stream, left == 1, closed, nullptr);
      if (!ok || closed) break;
    }
    tConnection = -1;
    {
      std::lock_guard lock(mutex_);
      open_.erase(sock);
      ++served_;
    }
    shutdown(sock, SHUT_RDWR);
    close(sock);
    return ok;
  }

  std::mutex mutex_;
  std::set<int> open_;
  bool cut_ = false;
  size_t served_ = 0;
};

struct UniqueFd {
  int fd;
  explicit UniqueFd(int f) : fd(f) {}
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  ~UniqueFd() {
    if (fd >= 0) close(fd);
  }
};

// Sends one request to the site and reads the answer to its end, within a second or two.
void RequestOnce(const std::string& host, int port) {
  addrinfo hints{};
  hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return;
  const std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> info(found, freeaddrinfo);
  const UniqueFd sock(socket(info->ai_family, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (sock.fd < 0 || connect(sock.fd, info->ai_addr, info->ai_addrlen) != 0) return;
  const std::string request =
      "GET / HTTP/1.1\r\nHost: " + host + "\r\nConnection: close\r\n\r\n";
  if (send(sock.fd, request.data(), request.size(), MSG_NOSIGNAL) != ssize_t(request.size())) {
    return;
  }
  char buf[4096];
  for (int i = 0; i < 100 && WaitReadable(sock.fd, 2000); ++i) {
    if (recv(sock.fd, buf, sizeof buf, 0) <= 0) break;
  }
}

}  // namespace

bool IsLoopbackHost(const std::string& host) {
  if (host == "localhost") return true;
  in_addr v4{};
  if (inet_pton(AF_INET, host.c_str(), &v4) == 1) return (ntohl(v4.s_addr) >> 24) == 127;
  in6_addr v6{};
  if (inet_pton(AF_INET6, host.c_str(), &v6) == 1) return IN6_IS_ADDR_LOOPBACK(&v6);
  return false;
}

struct SampleSite::Impl {
  std::mutex lifecycle;  // Start and Stop
  std::unique_ptr<SiteServer> server;
  std::thread listener;
  std::string host;
  std::atomic<int> port{0};

  mutable std::mutex mutex;  // what follows
  std::vector<FaultRule> rules;
  std::deque<std::string> requests;
  std::string error;

  std::atomic<bool> priming{false};  // the request Start makes is not logged

  // Slow answers wait on this, so that Stop can end them at once.
  std::atomic<bool> stopping{false};
  std::mutex waitMutex;
  std::condition_variable wake;

  // Waits `ms`; false when the site began to stop meanwhile.
  bool Sleep(int ms) {
    std::unique_lock lock(waitMutex);
    return !wake.wait_for(lock, std::chrono::milliseconds(ms), [&] { return stopping.load(); });
  }

  std::string Base() const {
    const bool v6 = host.find(':') != std::string::npos;
    return "http://" + (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port.load());
  }

  void Handle(const httplib::Request& req, httplib::Response& res);
  void Serve(const KeywordPlan& plan, const PageAddress& page, const Answer& answer,
             const httplib::Request& req, httplib::Response& res);
};

void SampleSite::Impl::Handle(const httplib::Request& req, httplib::Response& res) {
  std::vector<FaultRule> siteRules;
  {
    std::lock_guard lock(mutex);
    if (!priming) {
      requests.push_back(req.target);
      if (requests.size() > kMaxLoggedRequests) requests.pop_front();
    }
    siteRules = rules;
  }
  if (stopping) {
    res.status = 503;
    res.set_content(RenderErrorPage(503), kHtml);
    return;
  }
  if (req.method != "GET" && req.method != "HEAD") {
    res.status = 405;
    res.set_header("Allow", "GET, HEAD");
    res.set_content(RenderErrorPage(405), kHtml);
    return;
  }
  const std::string_view path = TargetPath(req.target);
  const auto page = ParsePagePath(req.target);
  if (!page) {
    if (path == "/") {
      res.set_content(RenderHomePage(), kHtml);
    } else {
      res.status = 404;
      res.set_content(RenderErrorPage(404), kHtml);
    }
    return;
  }
  const KeywordPlan plan = ParseKeyword(page->keyword);
  const Answer answer = Decide(plan.rules, siteRules, *page);
  if (answer.delayMs > 0 && !Sleep(answer.delayMs)) {
    res.status = 503;
    res.set_content(RenderErrorPage(503), kHtml);
    return;
  }
  Serve(plan, *page, answer, req, res);
}

void SampleSite::Impl::Serve(const KeywordPlan& plan, const PageAddress& page,
                             const Answer& answer, const httplib::Request& req,
                             httplib::Response& res) {
  const int arg = EffectiveArg(answer.fault);
  switch (answer.fault.fault) {
    case Fault::None:
      res.set_content(RenderPage(plan, page), kHtml);
      return;

    case Fault::Status:
      res.status = arg;
      res.set_content(RenderErrorPage(arg), kHtml);
      return;

    case Fault::CutOff: {
      auto body = std::make_shared<const std::string>(RenderPage(plan, page));
      const size_t cut = std::clamp<size_t>(body->size() * static_cast<size_t>(arg) / 100, 1,
                                            body->size() - 1);
      res.set_content_provider(body->size(), kHtml,
                               [body, cut](size_t offset, size_t, httplib::DataSink& sink) {
                                 if (offset < cut) sink.write(body->data() + offset, cut - offset);
                                 return false;  // the library closes the connection
                               });
      return;
    }

    case Fault::Reset: {
      if (tConnection < 0 || !ResetConnection(tConnection)) {
        res.status = 500;
        res.set_content(RenderErrorPage(500), kHtml);
      }
      return;  // whatever the library then writes fails on the reset socket
    }

    case Fault::Trickle: {
      auto body = std::make_shared<const std::string>(RenderPage(plan, page));
      const size_t pieces = std::clamp<size_t>(static_cast<size_t>(arg) / 20, 1, body->size());
      const size_t pieceSize = (body->size() + pieces - 1) / pieces;
      const int intervalMs = std::max(1, arg / static_cast<int>(pieces));
      res.set_content_provider(
          body->size(), kHtml,
          [this, body, pieceSize, intervalMs](size_t offset, size_t length,
                                              httplib::DataSink& sink) {
            if (!Sleep(intervalMs)) return false;
            return sink.write(body->data() + offset, std::min(pieceSize, length));
          });
      return;
    }

    case Fault::BadUtf8:
      res.set_content(RenderBadUtf8Page(plan, page), kHtml);
      return;

    case Fault::Huge: {
      auto huge = std::make_shared<const HugePage>(plan, page, uint64_t(arg) << 20);
      res.set_content_provider(
          static_cast<size_t>(huge->Size()), kHtml,
          [this, huge](size_t offset, size_t length, httplib::DataSink& sink) {
            if (stopping) return false;
            std::string chunk;
            huge->Read(offset, std::min(length, kChunk), chunk);
            return sink.write(chunk.data(), chunk.size());
          });
      return;
    }

    case Fault::RedirectLoop: {
      // Two addresses of the same page sending the client to each other.
      const auto q = req.target.find('?');
      const std::string path(TargetPath(req.target));
      const bool hopped = q != std::string::npos && req.target.compare(q, 4, "?hop") == 0;
      res.set_redirect(Base() + path + (hopped ? "" : "?hop=1"), 302);
      res.set_content(RenderErrorPage(302), kHtml);
      return;
    }

    case Fault::Backtrack:
      res.set_content(RenderBacktrackPage(plan, page, arg), kHtml);
      return;
  }
}

SampleSite::SampleSite() : impl_(std::make_unique<Impl>()) {}

SampleSite::~SampleSite() { Stop(); }

bool SampleSite::Start(int port, const std::string& host) {
  std::lock_guard life(impl_->lifecycle);
  const auto fail = [&](std::string why) {
    std::lock_guard lock(impl_->mutex);
    impl_->error = std::move(why);
    return false;
  };
  if (impl_->server) return fail("the site is already running");
  if (!IsLoopbackHost(host)) return fail("not a loopback address: " + host);
  if (port < 0 || port > 65535) return fail("no such port: " + std::to_string(port));
  const std::string bindHost = host == "localhost" ? "127.0.0.1" : host;

  try {
    auto server = std::make_unique<SiteServer>();
    // Short idle keep-alives so that clients which hold connections free the workers soon.
    server->set_keep_alive_timeout(2);
    server->set_keep_alive_max_count(100);
    // The library's default asks for SO_REUSEPORT, which would let a second site share a busy
    // port and take half its connections; SO_REUSEADDR alone only skips TIME_WAIT.
    server->set_socket_options([](int sock) {
      int yes = 1;
      setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    server->set_pre_routing_handler([impl = impl_.get()](const httplib::Request& req,
                                                          httplib::Response& res) {
      impl->Handle(req, res);
      return httplib::Server::HandlerResponse::Handled;
    });
    const int bound = port == 0 ? server->bind_to_any_port(bindHost)
                                : (server->bind_to_port(bindHost, port) ? port : -1);
    if (bound <= 0) return fail("cannot listen on " + bindHost + ":" + std::to_string(port));

    impl_->stopping = false;
    impl_->host = bindHost;
    impl_->port = bound;
    auto listenEnded = std::make_shared<std::atomic<bool>>(false);
    impl_->listener = std::thread([s = server.get(), listenEnded] {
      s->listen_after_bind();
      *listenEnded = true;
    });
    // Stop() only takes effect once the accept loop runs, so wait for it here.
    for (int i = 0; i < 5000 && !server->is_running() && !*listenEnded; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    impl_->server = std::move(server);
    if (!impl_->server->is_running()) {
      impl_->server->stop();
      impl_->listener.join();
      impl_->server.reset();
      impl_->port = 0;
      return fail("the server did not start on " + bindHost + ":" + std::to_string(bound));
    }
    // The library builds a function-local static while it parses its first request, behind a
    // guard check inlined where ThreadSanitizer cannot see it, so that two first requests at
    // once look like a race on it. One request served here, its connection's end recorded
    // under the connection lock that every later connection takes, orders that building
    // before every other request.
    impl_->priming = true;
    RequestOnce(bindHost, bound);
    for (int i = 0; i < 2000 && impl_->server->Served() == 0; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    impl_->priming = false;
  } catch (const std::exception& e) {
    return fail(std::string("cannot start the site: ") + e.what());
  }
  std::lock_guard lock(impl_->mutex);
  impl_->error.clear();
  return true;
}

void SampleSite::Stop() {
  std::lock_guard life(impl_->lifecycle);
  if (!impl_->server) return;
  {
    std::lock_guard lock(impl_->waitMutex);
    impl_->stopping = true;
  }
  impl_->wake.notify_all();
  impl_->server->stop();
  // Connections idle in keep-alive or blocked on a slow reader would hold the workers, and
  // with them the join below, for seconds.
  impl_->server->CutConnections();
  impl_->listener.join();
  impl_->server.reset();
  impl_->port = 0;
}

bool SampleSite::Running() const { return impl_->port != 0; }

int SampleSite::Port() const { return impl_->port; }

std::string SampleSite::BaseAddress() const {
  return impl_->port ? impl_->Base() : std::string();
}

std::string SampleSite::Error() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->error;
}

void SampleSite::AddRule(const FaultRule& rule) {
  std::lock_guard lock(impl_->mutex);
  impl_->rules.push_back(rule);
}

void SampleSite::ClearRules() {
  std::lock_guard lock(impl_->mutex);
  impl_->rules.clear();
}

std::vector<std::string> SampleSite::Requests() const {
  std::lock_guard lock(impl_->mutex);
  return {impl_->requests.begin(), impl_->requests.end()};
}

void SampleSite::ClearRequests() {
  std::lock_guard lock(impl_->mutex);
  impl_->requests.clear();
}

}  // namespace korvane::site
