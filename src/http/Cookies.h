#pragma once
// Cookie texts: "name=value" entries separated by ";", written with "; " between them.
#include <string_view>
#include <vector>

#include "text/Types.h"

namespace korvane {

// Merges the cookies of a response (`newCookies`) into those held so far (`oldCookies`). Both are
// rewritten in place: `oldCookies` receives the merged text, `newCookies` loses its spaces. The
// response's entries come first and win over old entries of the same name; entries ending in
// "=deleted" are dropped, and exact repeats go. Returns a copy of the merged text. A null pointer
// stands for an empty text whose rewrite nobody keeps.
Text MergeCookies(Text* oldCookies, Text* newCookies);

// The entry's name: the text before its first "=" (the whole entry without one), trimmed.
Text CookieName(std::string_view entry);

// Whether some entry of `entries` has exactly the name `name`.
bool HasCookieName(const std::vector<Text>& entries, std::string_view name);

// The pieces of `text` cut at `separator`, without exact repeats, joined by `separator`.
Text JoinDistinct(std::string_view text, std::string_view separator);

}  // namespace korvane
