#pragma once
// The response side of a web request as text: its raw headers and the cookies they set.
#include <string_view>

#include "text/Types.h"

namespace korvane {

// The raw header text with every letter-case variant of "Set-Cookie" written "Set-Cookie".
Text NormaliseSetCookie(std::string_view rawHeaders);

// The name=value part of every line holding "Set-Cookie", in order, joined by "; ".
Text ResponseCookies(std::string_view headers);

}  // namespace korvane
