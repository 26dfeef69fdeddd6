#pragma once
// The codecs between the local code page (936) and the site's percent-encoded UTF-8.
// None reports an error: a failure shows as an empty or odd result.
#include "text/Types.h"

#include <string_view>

namespace korvane {

// Every byte as %XX (upper-case), or kept as itself when `keepAlnum` is true and it is one of
// - . 0-9 A-Z a-z. With `viaUtf8` the bytes are those of the text's UTF-8 form.
Text UrlEncode(std::string_view text, bool keepAlnum = false, bool viaUtf8 = false);

// Percent-decoding by the system's rule: "%" takes the next two bytes as digits whatever they
// are (a non-digit counts -2, a digit past the end 0), the decoded byte is the low eight bits of
// 16a+b, and a decoded zero adds nothing. With `toLocal` the result is then read as UTF-8 and
// converted to code page 936.
Text UrlDecode(std::string_view text, bool toLocal = false);

Text LocalToUtf8(std::string_view text);
Text Utf8ToLocal(std::string_view text);

// A UTF-16LE buffer with one terminating zero unit counted in its length; empty for an empty text.
Bytes TextToWide(std::string_view text, int codePage = 65001);
// The buffer's units up to its first zero unit, converted to `codePage`.
Text WideToText(const Bytes& wide, int codePage = 0);

}  // namespace korvane
