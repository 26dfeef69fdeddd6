#include "LoopbackServer.h"

#include <sys/socket.h>
#include <sys/time.h>

#include <algorithm>
#include <cctype>

namespace korvane::testing {
namespace {

std::string Lower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
  return out;
}

void SetTimeouts(int socket) {
  timeval receive{0, 200000};  // lets a blocked TLS read come back to look at the stop flag
  timeval send{10, 0};
  ::setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &receive, sizeof receive);
  ::setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, &send, sizeof send);
}

struct SslFree {
  void operator()(SSL* ssl) const { SSL_free(ssl); }
};

// One connection's byte stream, plain or TLS.
class Stream {
 public:
  Stream(int socket, SSL_CTX* tls, const Acceptor& acceptor) : socket_(socket) {
    if (!tls) return;
    ssl_.reset(SSL_new(tls));
    if (!ssl_ || SSL_set_fd(ssl_.get(), socket) != 1) {
      failed_ = true;
      return;
    }
    for (int attempt = 0; attempt < 50 && !acceptor.Stopping(); ++attempt) {
      const int done = SSL_accept(ssl_.get());
      if (done == 1) return;
      if (SSL_get_error(ssl_.get(), done) != SSL_ERROR_WANT_READ) break;
    }
    failed_ = true;
  }

  bool Failed() const { return failed_; }

  // Appends what arrives within a short wait; false once the peer has closed or failed.
  bool ReadSome(std::string& into) {
    char buffer[16384];
    if (!ssl_ || SSL_pending(ssl_.get()) == 0) {
      if (!Readable(socket_)) return true;
    }
    if (ssl_) {
      const int n = SSL_read(ssl_.get(), buffer, sizeof buffer);
      if (n > 0) {
        into.append(buffer, static_cast<std::size_t>(n));
        return true;
      }
      return SSL_get_error(ssl_.get(), n) == SSL_ERROR_WANT_READ;
    }
    const auto n = ::recv(socket_, buffer, sizeof buffer, 0);
    if (n > 0) into.append(buffer, static_cast<std::size_t>(n));
    return n > 0 || (n < 0 && (errno == EAGAIN || errno == EINTR));
  }

  bool Write(std::string_view bytes) {
    if (!ssl_) return SendAll(socket_, bytes);
    while (!bytes.empty()) {
      const int n = SSL_write(ssl_.get(), bytes.data(), static_cast<int>(std::min<std::size_t>(bytes.size(), 1 << 20)));
      if (n <= 0) return false;
      bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
  }

 private:
  int socket_;
  std::unique_ptr<SSL, SslFree> ssl_;
  bool failed_ = false;
};

std::size_t ContentLength(std::string_view head) {
  const RecordedRequest request{std::string(head), {}, 0};
  const auto value = request.Header("Content-Length");
  return value.empty() ? 0 : std::stoul(value);
}

}  // namespace

std::string RecordedRequest::RequestLine() const { return head.substr(0, head.find("\r\n")); }

std::string RecordedRequest::Target() const {
  const auto line = RequestLine();
  const auto first = line.find(' ');
  const auto second = line.find(' ', first + 1);
  return first == std::string::npos ? std::string() : line.substr(first + 1, second - first - 1);
}

std::vector<std::string> RecordedRequest::HeaderLines() const {
  std::vector<std::string> lines;
  std::size_t from = head.find("\r\n");
  while (from != std::string::npos) {
    from += 2;
    const auto end = head.find("\r\n", from);
    if (end == std::string::npos || end == from) break;
    lines.push_back(head.substr(from, end - from));
    from = end;
  }
  return lines;
}

std::string RecordedRequest::Header(std::string_view name) const {
  const auto prefix = Lower(name) + ":";
  for (const auto& line : HeaderLines()) {
    if (Lower(line.substr(0, prefix.size())) != prefix) continue;
    const auto value = line.substr(prefix.size());
    const auto begin = value.find_first_not_of(' ');
    return begin == std::string::npos ? std::string() : value.substr(begin);
  }
  return {};
}

int RecordedRequest::Count(std::string_view name) const {
  const auto prefix = Lower(name) + ":";
  const auto lines = HeaderLines();
  return static_cast<int>(std::count_if(lines.begin(), lines.end(), [&](const std::string& line) {
    return Lower(line.substr(0, prefix.size())) == prefix;
  }));
}

std::string HttpResponse(int status, const std::vector<std::string>& lines, std::string_view body) {
  std::string out = "HTTP/1.1 " + std::to_string(status) + " Status\r\n";
  for (const auto& line : lines) out += line + "\r\n";
  out += "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
  out += body;
  return out;
}

LoopbackServer::LoopbackServer(Handler handler, SSL_CTX* tls) : handler_(std::move(handler)), tls_(tls) {
  acceptor_ = std::make_unique<Acceptor>([this](int socket, int number, const Acceptor& acceptor) { Serve(socket, number, acceptor); });
}

LoopbackServer::~LoopbackServer() { acceptor_.reset(); }

std::string LoopbackServer::Url(std::string_view path) const {
  return std::string(tls_ ? "https" : "http") + "://127.0.0.1:" + std::to_string(Port()) + std::string(path);
}

std::vector<RecordedRequest> LoopbackServer::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

void LoopbackServer::Serve(int socket, int number, const Acceptor& acceptor) {
  SetTimeouts(socket);
  Stream stream(socket, tls_, acceptor);
  if (stream.Failed()) return;
  std::string buffer;
  const auto readUntil = [&](auto enough) {
    while (!enough()) {
      if (acceptor.Stopping() || !stream.ReadSome(buffer)) return false;
    }
    return true;
  };
  while (true) {
    std::size_t headEnd = std::string::npos;
    if (!readUntil([&] { return (headEnd = buffer.find("\r\n\r\n")) != std::string::npos; })) return;
    headEnd += 4;
    const std::size_t total = headEnd + ContentLength(std::string_view(buffer).substr(0, headEnd));
    if (!readUntil([&] { return buffer.size() >= total; })) return;

    RecordedRequest request{buffer.substr(0, headEnd), buffer.substr(headEnd, total - headEnd), number};
    buffer.erase(0, total);
    {
      std::lock_guard lock(mutex_);
      requests_.push_back(request);
    }
    const Reply reply = handler_(request);
    if (!stream.Write(reply.bytes)) return;
    if (reply.stream) {
      const bool keepOpen = reply.stream([&](std::string_view bytes) {
        return !acceptor.Stopping() && stream.Write(bytes);
      });
      if (!keepOpen) return;
    }
    if (reply.stall) {
      std::string ignored;
      while (!acceptor.Stopping() && stream.ReadSome(ignored)) ignored.clear();
      return;
    }
    if (reply.close) return;
  }
}

}  // namespace korvane::testing
