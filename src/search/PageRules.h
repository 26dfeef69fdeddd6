#pragma once
// What the search knows about the site's result pages: how to read the number of result pages
// from a keyword's first page, and how to cut a numbered page into result rows. Pure text work on
// one decoded page (code page 936) with the caller's RegexObject; each call replaces the object's
// pattern, subject and matches. Nothing here reports an error: a page that does not match gives
// 0 or no rows.
#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

#include "regex/RegexObject.h"
#include "search/ResultRow.h"
#include "text/Types.h"

namespace korvane {

namespace page_rules_detail {
// The pieces laid end to end at compile time, so that the pattern reads as its parts.
template <std::size_t... N>
consteval auto Join(const char (&... pieces)[N]) {
  std::array<char, (N + ... + 0) - sizeof...(N) + 1> out{};
  std::size_t at = 0;
  auto append = [&](const char* piece, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) out[at++] = piece[i];
  };
  (append(pieces, N - 1), ...);
  return out;
}

// The labels in code page 936: 大小 (size), 文件数 (number of files), 创建日期 (creation date).
inline constexpr auto kResultRowPattern = Join(
    "<li><div class=.*?><a href=\"/read/",
    "(.*?)",                                 // 1: info-hash
    ".html\" target=\"_blank\">",            // the dot before "html" is any character
    "(.*?)",                                 // 2: name
    "</a></div>",
    "\n\t\t    ",
    "<dl class=\"BotInfo\">",
    "\n\n",
    "<dt>\xB4\xF3\xD0\xA1:<span>",
    "(.*?)",                                 // 3: size
    "  </span> &nbsp;&nbsp;&nbsp;&nbsp;\xCE\xC4\xBC\xFE\xCA\xFD:<span>",
    "(.*?)",                                 // 4: number of files
    " </span> &nbsp;&nbsp;&nbsp;&nbsp;\xB4\xB4\xBD\xA8\xC8\xD5\xC6\xDA:<span> \n<span class=\"ctime\">",
    "(.*?)",                                 // 5: creation date
    "</span>[\\s|\\S]*?</a></div>");         // up to the first following "</a></div>", across lines
}  // namespace page_rules_detail

// A link to a numbered result page of a keyword; group 1 is the page number.
inline constexpr std::string_view PageCountPattern = "/word/.*?_(\\d+)\\.html";

// One result block of a numbered page, in code page 936; groups: 1 info-hash, 2 name, 3 size,
// 4 number of files, 5 creation date. The dot never crosses a line feed, so a block whose lines
// end in CR LF does not match.
inline constexpr std::string_view ResultRowPattern{page_rules_detail::kResultRowPattern.data(),
                                                   page_rules_detail::kResultRowPattern.size() - 1};

// What the info-hash is appended to for the magnet link.
inline constexpr std::string_view MagnetLinkPrefix = "magnet:?xt=urn:btih:";

// `complete`, when given, receives false when the pattern gave up before the page's end (a
// page made to make it backtrack hits the matcher's limits): the answer then comes from the part
// of the page before that point.

// The page number in the last link to a numbered page, in document order (not the largest); 0
// when the page has none.
int ReadPageCount(RegexObject& regex, const Text& page, bool* complete = nullptr);

// The page's result rows in page order, captures taken as they stand.
std::vector<ResultRow> CutResultRows(RegexObject& regex, const Text& page, bool* complete = nullptr);

}  // namespace korvane
