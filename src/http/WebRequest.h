#pragma once
// The system's one HTTP and HTTPS client. One call makes one request (redirects followed unless
// asked otherwise) and returns the response body; connections to a host are kept alive and
// reused by later calls. Nothing throws: a failed request returns an empty body and leaves every
// in/out and out parameter as it was.
#include <atomic>
#include <chrono>
#include <cstddef>

#include "text/Types.h"

namespace korvane {

inline constexpr std::size_t kMaxBodyBytes = 64u << 20;  // a larger body fails the request

struct WebRequestArgs {
  Text url;  // with "http://", "https://" or no scheme
  int method = 0;  // 0 GET, 1 POST, 2 HEAD; other values count as 0
  Text postText;   // the body of a POST or HEAD when `postBytes` is empty
  // In/out. Supplied (non-null, even empty): sent as a Cookie line when not empty, the process's
  // cookie store is left out of the request, and the response's cookies are merged in afterwards.
  // Null: the process's cookie store sends and keeps cookies.
  Text* cookies = nullptr;
  Text* returnedCookies = nullptr;  // out: the response's cookies, "name=value" joined by "; "
  // In/out: extra header lines separated by "\r\n"; receives the whole header text sent.
  Text* headers = nullptr;
  // Out: the final response's raw headers, lines ending in "\r\n", "Set-Cookie" in one spelling.
  Text* returnedHeaders = nullptr;
  bool noRedirect = false;
  // In/out: the body of a POST or HEAD; when empty, it receives the bytes of `postText`.
  Bytes* postBytes = nullptr;
  // "host:port", or a list such as "http=host:port https=host:port"; empty: a direct connection.
  Text proxy;

  // None of the following changes what a request returns when it succeeds.
  Text* diagnostic = nullptr;  // out: why the request failed (libcurl's error text); empty on success
  // Out, also when the request fails: the final response's HTTP status, 0 when none came.
  int* status = nullptr;
  const std::atomic<bool>* cancel = nullptr;  // when it turns true, the transfer ends as failed
  std::chrono::milliseconds connectTimeout{30000};
  std::chrono::milliseconds noProgressTimeout{30000};  // no byte moving for this long fails
  bool keepConnection = true;  // false: a fresh connection, closed afterwards
  // Certificate authorities to trust for HTTPS, a PEM file; empty: the system's trust store.
  Text trustedCaFile;
};

Bytes WebRequest(const WebRequestArgs& args);

// The body of a GET of `url` with every option at its default, up to its first zero byte;
// empty when the request fails.
Text FetchPageText(const Text& url);
Text FetchPageText(const Text& url, const std::atomic<bool>* cancel, Text* diagnostic);

// What a caller of FetchPageText may bound and learn without changing what is asked for: the
// fields of WebRequestArgs of the same names.
struct FetchWatch {
  const std::atomic<bool>* cancel = nullptr;
  Text* diagnostic = nullptr;
  int* status = nullptr;
  std::chrono::milliseconds connectTimeout{30000};
  std::chrono::milliseconds noProgressTimeout{30000};
};
Text FetchPageText(const Text& url, const FetchWatch& watch);

// Forgets every cookie that the process's cookie store holds.
void ClearCookieStore();

}  // namespace korvane
