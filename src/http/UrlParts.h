#pragma once
// Host, port and path of an address, taken apart as plain text. Addresses may carry "http://",
// "https://" or no scheme at all; odd addresses give results by the same rules, never errors.
#include <optional>
#include <string_view>

#include "text/Types.h"

namespace korvane {

// The lowercase host. Without `levels`: the text after the scheme up to the first "/", shortened
// to its last two labels when `rootDomain` is set. With `levels` N: the host keeps its last N+1
// labels (`rootDomain`) or N+2 labels (otherwise), when it has that many. Unless `keepPort`, a
// ":" and what follows it is cut off.
Text UrlHost(std::string_view url, bool rootDomain = false, bool keepPort = false,
             std::optional<int> levels = std::nullopt);

// The number after the host's last ":", or 443 for an "https" address and 80 otherwise.
int UrlPort(std::string_view url);

// From the first "/" after the host to the end, query included; "/" when there is none.
Text UrlPath(std::string_view url);

}  // namespace korvane
