#include "http/WebRequest.h"

#include <algorithm>
#include <chrono>
#include <string_view>

#include "http/ConnectionPool.h"
#include "http/CookieStore.h"
#include "http/Cookies.h"
#include "http/CurlHandles.h"
#include "http/ProxyList.h"
#include "http/RequestHeaders.h"
#include "http/ResponseHeaders.h"
#include "http/UrlParts.h"
#include "text/TextOps.h"

namespace korvane {
namespace {

constexpr long kMaxRedirects = 10;

// Where a response body goes: a byte buffer for WebRequest, a text for FetchPageText, which
// thereby needs no copy of its own.
class BodyBuffer {
 public:
  explicit BodyBuffer(Bytes& bytes) : bytes_(&bytes) {}
  explicit BodyBuffer(Text& text) : text_(&text) {}
  std::size_t size() const { return bytes_ ? bytes_->size() : text_->size(); }
  void reserve(std::size_t n) { bytes_ ? bytes_->reserve(n) : text_->reserve(n); }
  void clear() { bytes_ ? bytes_->clear() : text_->clear(); }
  void append(const char* data, std::size_t n) {
    if (text_) {
      text_->append(data, n);
      return;
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    bytes_->insert(bytes_->end(), bytes, bytes + n);
  }

 private:
  Bytes* bytes_ = nullptr;
  Text* text_ = nullptr;
};

// What the callbacks of one transfer collect.
struct Transfer {
  explicit Transfer(BodyBuffer buffer) : body(buffer) {}
  CURL* easy = nullptr;
  BodyBuffer body;
  Text headers;  // the last response's header lines, each ending in "\r\n"
  const std::atomic<bool>* cancel = nullptr;
  bool cancelled = false;
  bool tooLarge = false;
  bool stalled = false;

  // Progress watch: the byte counts last seen and when they last moved.
  std::chrono::steady_clock::duration noProgressLimit{};
  std::chrono::steady_clock::time_point lastMoved = std::chrono::steady_clock::now();
  curl_off_t down = 0;
  curl_off_t up = 0;

  bool CancelRequested() {
    if (cancel && cancel->load(std::memory_order_relaxed)) cancelled = true;
    return cancelled;
  }
};

std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* user) {
  auto& transfer = *static_cast<Transfer*>(user);
  const std::size_t n = size * count;
  if (transfer.CancelRequested()) return 0;
  // The length that a server announces is checked before the body starts; a chunked body is not.
  if (n > kMaxBodyBytes - transfer.body.size()) {
    transfer.tooLarge = true;
    return 0;
  }
  if (transfer.body.size() == 0) {
    // Room for the whole announced body at once (the length has been checked against the limit).
    curl_off_t announced = -1;
    if (curl_easy_getinfo(transfer.easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced) == CURLE_OK &&
        announced > 0 && static_cast<std::size_t>(announced) <= kMaxBodyBytes) {
      transfer.body.reserve(static_cast<std::size_t>(announced));
    }
  }
  transfer.body.append(data, n);
  return n;
}

std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* user) {
  auto& transfer = *static_cast<Transfer*>(user);
  const std::size_t n = size * count;
  std::string_view line(data, n);
  // Every response of a redirect chain (and a proxy's answer to CONNECT) starts with its status
  // line: only the last response's headers are kept.
  if (line.substr(0, 5) == "HTTP/") transfer.headers.clear();
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  if (transfer.headers.size() + line.size() > kMaxBodyBytes) {
    transfer.tooLarge = true;
    return 0;
  }
  transfer.headers.append(line).append("\r\n");
  return n;
}

// libcurl calls this at least about once a second, also while nothing moves.
int OnProgress(void* user, curl_off_t, curl_off_t downNow, curl_off_t, curl_off_t upNow) {
  auto& transfer = *static_cast<Transfer*>(user);
  if (transfer.CancelRequested()) return 1;
  const auto now = std::chrono::steady_clock::now();
  if (downNow != transfer.down || upNow != transfer.up) {
    transfer.down = downNow;
    transfer.up = upNow;
    transfer.lastMoved = now;
  } else if (now - transfer.lastMoved >= transfer.noProgressLimit) {
    transfer.stalled = true;
    return 1;
  }
  return 0;
}

// What libcurl will connect to: a host name made of the characters host names have, so that no
// "@", "?" or "#" in it can make libcurl read the address differently.
bool IsHostName(std::string_view host) {
  return !host.empty() && std::all_of(host.begin(), host.end(), [](char c) {
           return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_';
         });
}

// The path as the request line carries it: bytes that may not stand there raw are %-escaped.
Text RequestTarget(std::string_view path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  Text out;
  for (const char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte >= 0x7F) {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0x0F];
    } else {
      out += c;
    }
  }
  return out;
}

// The header lines handed to libcurl: the completed text's lines, then entries that stop
// libcurl from adding an Accept, Expect or Content-Type line of its own.
bool BuildHeaderList(const std::vector<Text>& lines, SlistHandle& list) {
  for (const auto& line : lines) {
    const auto colon = line.find(':');
    if (colon == Text::npos || colon == 0) continue;  // not a header line
    const bool emptyValue = line.find_first_not_of(" \t", colon + 1) == Text::npos;
    // libcurl reads "Name:" as "send no such line"; "Name;" is its spelling of an empty one.
    const Text entry = emptyValue ? line.substr(0, colon) + ";" : line;
    if (!AppendLine(list, entry.c_str())) return false;
  }
  for (const char* own : {"Accept:", "Expect:", "Content-Type:"}) {
    if (!AppendLine(list, own)) return false;
  }
  return true;
}

std::vector<std::string> ExportCookies(CURL* easy) {
  std::vector<std::string> lines;
  curl_slist* raw = nullptr;
  if (curl_easy_getinfo(easy, CURLINFO_COOKIELIST, &raw) != CURLE_OK) return lines;
  const SlistHandle list(raw);
  for (const curl_slist* node = list.get(); node; node = node->next) lines.emplace_back(node->data);
  return lines;
}

// The request itself: true when it succeeded, the body in `out`; false with `out` empty.
bool Perform(const WebRequestArgs& args, BodyBuffer out) {
  out.clear();
  if (args.status) *args.status = 0;
  const auto fail = [&](std::string_view why) {
    if (args.diagnostic) *args.diagnostic = Text(why);
    out.clear();
    return false;
  };
  if (!CurlReady()) return fail("libcurl could not be initialised");
  if (args.cancel && args.cancel->load()) return fail("cancelled");

  const int method = args.method < 0 || args.method > 2 ? 0 : args.method;
  const bool https = ToLower(Left(args.url, 5)) == "https";
  const Text callerHeaders = args.headers ? *args.headers : Text();
  const Text agent = RequestAgent(callerHeaders);

  const Text host = UrlHost(args.url);
  const int port = UrlPort(args.url);
  if (!IsHostName(host)) return fail("not a host name: \"" + host + "\"");
  if (port < 1 || port > 65535) return fail("port out of range: " + IntToText(port));
  const auto proxy = ProxyForRequest(args.proxy, https);
  if (!proxy) return fail("no usable proxy in \"" + args.proxy + "\"");

  const Text sentHeaders = CompleteHeaders(callerHeaders, args.url, args.cookies ? *args.cookies : Text());
  const std::vector<Text> lines = HeaderLines(sentHeaders);
  // POST and HEAD take `postBytes`, or `postText` when it is empty; only a POST sends it: a body
  // on HEAD means nothing to a server, and some reject it as an attempt to smuggle a request.
  const bool takesPostBytes = method != 0;
  const Bytes body = !takesPostBytes ? Bytes()
                     : args.postBytes && !args.postBytes->empty() ? *args.postBytes
                                                                  : TextToBytes(args.postText);

  SlistHandle headerList;
  SlistHandle proxyHeaderList;
  if (!BuildHeaderList(lines, headerList) || !AppendLine(proxyHeaderList, "Proxy-Connection:")) {
    return fail("out of memory");
  }

  // The lease outlives the easy handle, which holds the cache until it is cleaned up.
  ConnectionPool::Lease cache = args.keepConnection ? ConnectionPool::Shared().Borrow()
                                                    : ConnectionPool::Lease(nullptr, nullptr);
  EasyHandle easy(curl_easy_init());
  if (!easy) return fail("libcurl could not make a handle");
  CURL* const h = easy.get();

  Transfer transfer(out);
  transfer.easy = h;
  transfer.cancel = args.cancel;
  transfer.noProgressLimit = args.noProgressTimeout;
  char errorText[CURL_ERROR_SIZE] = {};
  const Text address = Text(https ? "https://" : "http://") + host + ":" + IntToText(port) +
                       RequestTarget(UrlPath(args.url));

  curl_easy_setopt(h, CURLOPT_URL, address.c_str());
  curl_easy_setopt(h, CURLOPT_PATH_AS_IS, 1L);
  curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(h, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorText);
  curl_easy_setopt(h, CURLOPT_HTTPHEADER, headerList.get());
  if (!HoldsHeaderLine(lines, "User-Agent")) {
    const Text oneLine = agent.substr(0, agent.find_first_of("\r\n"));
    curl_easy_setopt(h, CURLOPT_USERAGENT, oneLine.c_str());
  }

  // An empty proxy text means a direct connection, whatever the environment's proxy variables say.
  curl_easy_setopt(h, CURLOPT_PROXY, proxy->c_str());
  curl_easy_setopt(h, CURLOPT_HEADEROPT, static_cast<long>(CURLHEADER_SEPARATE));
  curl_easy_setopt(h, CURLOPT_PROXYHEADER, proxyHeaderList.get());

  std::vector<std::string> cookiesBefore;
  if (!args.cookies) {
    curl_easy_setopt(h, CURLOPT_COOKIEFILE, "");
    cookiesBefore = CookieStore::Shared().Snapshot();
    for (const auto& line : cookiesBefore) curl_easy_setopt(h, CURLOPT_COOKIELIST, line.c_str());
  }

  if (method == 1) {
    curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    curl_easy_setopt(h, CURLOPT_POSTFIELDS, body.empty() ? "" : reinterpret_cast<const char*>(body.data()));
  } else if (method == 2) {
    curl_easy_setopt(h, CURLOPT_NOBODY, 1L);
  } else {
    curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
  }

  curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, args.noRedirect ? 0L : 1L);
  curl_easy_setopt(h, CURLOPT_MAXREDIRS, kMaxRedirects);
  // A plain address may be sent on to HTTPS; an HTTPS one is never sent down to plain HTTP.
  curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, https ? "https" : "http,https");

  curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 2L);
  if (!args.trustedCaFile.empty()) curl_easy_setopt(h, CURLOPT_CAINFO, args.trustedCaFile.c_str());

  curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(std::max<long long>(args.connectTimeout.count(), 1)));
  curl_easy_setopt(h, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(kMaxBodyBytes));

  curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, OnBody);
  curl_easy_setopt(h, CURLOPT_WRITEDATA, &transfer);
  curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, OnHeader);
  curl_easy_setopt(h, CURLOPT_HEADERDATA, &transfer);
  curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, OnProgress);
  curl_easy_setopt(h, CURLOPT_XFERINFODATA, &transfer);
  curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);

  if (cache.get()) {
    curl_easy_setopt(h, CURLOPT_SHARE, cache.get());
  } else {
    curl_easy_setopt(h, CURLOPT_FRESH_CONNECT, 1L);
    curl_easy_setopt(h, CURLOPT_FORBID_REUSE, 1L);
  }

  const CURLcode result = curl_easy_perform(h);
  if (args.status) {
    long code = 0;
    if (curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &code) == CURLE_OK) *args.status = static_cast<int>(code);
  }
  // Cookies that reached the engine are kept even when a later hop failed, as a browser keeps them.
  if (!args.cookies) CookieStore::Shared().Update(cookiesBefore, ExportCookies(h));
  easy.reset();

  if (transfer.cancelled) return fail("cancelled");
  if (transfer.stalled) {
    return fail("nothing moved for " + IntToText(args.noProgressTimeout.count()) + " ms");
  }
  if (transfer.tooLarge || result == CURLE_FILESIZE_EXCEEDED) return fail("response larger than 64 MiB");
  if (result != CURLE_OK) return fail(errorText[0] ? errorText : curl_easy_strerror(result));

  if (args.headers) *args.headers = sentHeaders;
  if (takesPostBytes && args.postBytes && args.postBytes->empty()) *args.postBytes = TextToBytes(args.postText);
  Text responseHeaders = NormaliseSetCookie(transfer.headers);
  Text responseCookies = ResponseCookies(responseHeaders);
  if (args.cookies) MergeCookies(args.cookies, &responseCookies);
  if (args.returnedHeaders) *args.returnedHeaders = std::move(responseHeaders);
  if (args.returnedCookies) *args.returnedCookies = std::move(responseCookies);
  if (args.diagnostic) args.diagnostic->clear();
  return true;
}

}  // namespace

Bytes WebRequest(const WebRequestArgs& args) {
  Bytes body;
  Perform(args, BodyBuffer(body));
  return body;
}

Text FetchPageText(const Text& url) { return FetchPageText(url, nullptr, nullptr); }

Text FetchPageText(const Text& url, const std::atomic<bool>* cancel, Text* diagnostic) {
  FetchWatch watch;
  watch.cancel = cancel;
  watch.diagnostic = diagnostic;
  return FetchPageText(url, watch);
}

Text FetchPageText(const Text& url, const FetchWatch& watch) {
  WebRequestArgs args;
  args.url = url;
  args.cancel = watch.cancel;
  args.diagnostic = watch.diagnostic;
  args.status = watch.status;
  args.connectTimeout = watch.connectTimeout;
  args.noProgressTimeout = watch.noProgressTimeout;
  Text text;
  Perform(args, BodyBuffer(text));
  text.resize(UpToZero(text).size());  // the text ends at the body's first zero byte
  return text;
}

void ClearCookieStore() { CookieStore::Shared().Clear(); }

}  // namespace korvane
