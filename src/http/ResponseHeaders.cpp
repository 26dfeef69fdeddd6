#include "http/ResponseHeaders.h"

#include "http/TextBetween.h"
#include "text/TextOps.h"

namespace korvane {

Text NormaliseSetCookie(std::string_view rawHeaders) {
  return Replace(rawHeaders, "Set-Cookie", "Set-Cookie", true);
}

Text ResponseCookies(std::string_view headers) {
  Text cookies;
  for (const auto& line : Split(headers, "\r\n")) {
    if (Find(line, "Set-Cookie") < 0) continue;
    // Attributes (path, expiry, domain) follow the first ";" and are dropped.
    const Text value = Find(line, ";") > 0 ? TextBetween(line, "Set-Cookie:", ";")
                                           : Replace(line, "Set-Cookie:", {}, true);
    cookies.append(Trim(value)).append("; ");
  }
  cookies.resize(cookies.size() >= 2 ? cookies.size() - 2 : 0);
  return cookies;
}

}  // namespace korvane
