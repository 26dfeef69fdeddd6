#pragma once
#include <optional>
#include <string_view>

#include "text/Types.h"

namespace korvane {

// The proxy that a request goes through, from a proxy list such as "host:port",
// "http=host:port https=host:port" or "http=http://host:port" (entries separated by spaces or
// ";"): the entry named after the request's scheme, else the first entry without a scheme name.
// For a plain-HTTP request the list's first entry counts as its "http=" entry. The result is
// "http://host:port" (port 80 when the entry gives none); empty for a direct connection, when the
// list names no proxy for the scheme; nothing when the chosen entry is no usable server, so
// that the request fails rather than bypass the proxy that the caller asked for.
std::optional<Text> ProxyForRequest(std::string_view proxyList, bool https);

}  // namespace korvane
