#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for the tests, written on raw sockets so that it records
// each request's bytes exactly as they arrived (line order and spelling included) and answers
// with bytes the test chooses, well-formed or not. With a TLS context it speaks HTTPS.
#include <openssl/ssl.h>

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "Acceptor.h"

namespace korvane::testing {

struct RecordedRequest {
  std::string head;  // request line and header lines, through the blank line
  std::string body;
  int connection = 0;  // which accepted connection it came on, from 1

  std::string Raw() const { return head + body; }
  std::string RequestLine() const;
  std::string Target() const;  // the request line's second word
  std::vector<std::string> HeaderLines() const;
  // The value of the first header line called `name` (ASCII case ignored), or empty.
  std::string Header(std::string_view name) const;
  int Count(std::string_view name) const;  // how many header lines are called `name`
};

struct Reply {
  std::string bytes;  // written as they stand
  // Writes more after `bytes` through the function it is given, which returns false once the
  // client has gone; the result says whether the connection may stay open.
  std::function<bool(const std::function<bool(std::string_view)>&)> stream;
  bool close = false;  // close the connection after the reply
  bool stall = false;  // after the reply, send nothing more until the client hangs up
};

// A complete response with a Content-Length for `body`; `lines` are header lines without CRLF.
std::string HttpResponse(int status, const std::vector<std::string>& lines = {}, std::string_view body = {});

class LoopbackServer {
 public:
  using Handler = std::function<Reply(const RecordedRequest&)>;
  // `tls`, when given, must outlive the server.
  explicit LoopbackServer(Handler handler, SSL_CTX* tls = nullptr);
  ~LoopbackServer();

  int Port() const { return acceptor_->Port(); }
  // "http://127.0.0.1:port" followed by `path` ("https://" for a TLS server).
  std::string Url(std::string_view path = "/") const;
  std::vector<RecordedRequest> Requests() const;
  int Connections() const { return acceptor_->Accepted(); }

 private:
  void Serve(int socket, int number, const Acceptor& acceptor);

  Handler handler_;
  SSL_CTX* tls_;
  mutable std::mutex mutex_;
  std::vector<RecordedRequest> requests_;
  std::unique_ptr<Acceptor> acceptor_;  // last: its threads use the members above
};

}  // namespace korvane::testing
