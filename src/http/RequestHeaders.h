#pragma once
// The request side of a web request as text: the user agent and the header text that is sent.
#include <string_view>
#include <vector>

#include "text/Types.h"

namespace korvane {

inline constexpr std::string_view kDefaultUserAgent = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";

// The agent that the caller's header text asks for: the text between "User-Agent:" and the next
// "\r\n" when that is not empty, else the value after the text's first ":"; the default agent
// when the text holds no "User-Agent:" (in any letter case) at all.
Text RequestAgent(std::string_view headers);

// The caller's header text completed with the default lines it lacks (Accept, Referer,
// Accept-Language, Content-Type, by exact search) and a Cookie line for non-empty `cookies`.
Text CompleteHeaders(std::string_view headers, std::string_view url, std::string_view cookies);

// The lines of a header text as they go on the wire. Any CR or LF ends a line and empty lines
// are left out: an empty line would end the request's header block early.
std::vector<Text> HeaderLines(std::string_view headers);

// Whether one of `lines` is a header line named `name` (ASCII letter case ignored).
bool HoldsHeaderLine(const std::vector<Text>& lines, std::string_view name);

}  // namespace korvane
