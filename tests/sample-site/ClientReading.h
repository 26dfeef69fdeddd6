#pragma once
// Reads sample-site pages the way the search client does: percent-decode the whole page, then
// run the page-count and result-row patterns. The patterns are the client's own texts, in UTF-8,
// run by std::regex (ECMAScript: "." stops at a line end, like the client's engine) without
// regard to case.
#include "sample-site/SitePages.h"
#include "search/TextCodecs.h"

#include <regex>
#include <string>
#include <vector>

namespace korvane::site::testing {

// Piece by piece, whitespace spelled out.
inline const std::string kResultRowPattern =
    std::string("<li><div class=.*?><a href=\"/read/") + "(.*?)" +
    ".html\" target=\"_blank\">" + "(.*?)" + "</a></div>" + "\n\t\t    " +
    "<dl class=\"BotInfo\">" + "\n\n" + "<dt>大小:<span>" + "(.*?)" +
    "  </span> &nbsp;&nbsp;&nbsp;&nbsp;文件数:<span>" + "(.*?)" +
    " </span> &nbsp;&nbsp;&nbsp;&nbsp;创建日期:<span> \n<span class=\"ctime\">" + "(.*?)" +
    "</span>[\\s|\\S]*?</a></div>";

inline const std::string kPageCountPattern = "/word/.*?_(\\d+)\\.html";

inline size_t CodePoints(const std::string& utf8) {
  size_t n = 0;
  for (const char c : utf8) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

inline std::string ReadAsClient(const std::string& body) { return korvane::UrlDecode(body); }

inline std::vector<SiteRow> CutRows(const std::string& decoded) {
  static const std::regex re(kResultRowPattern, std::regex::ECMAScript | std::regex::icase);
  std::vector<SiteRow> rows;
  for (std::sregex_iterator it(decoded.begin(), decoded.end(), re), end; it != end; ++it) {
    const auto& m = *it;
    rows.push_back(SiteRow{m[1].str(), m[2].str(), m[3].str(), m[4].str(), m[5].str()});
  }
  return rows;
}

// Page numbers of the links to numbered pages, in document order; the client's page count is
// the last one.
inline std::vector<int> LinkedPages(const std::string& decoded) {
  static const std::regex re(kPageCountPattern, std::regex::ECMAScript | std::regex::icase);
  std::vector<int> pages;
  for (std::sregex_iterator it(decoded.begin(), decoded.end(), re), end; it != end; ++it) {
    pages.push_back(std::stoi((*it)[1].str()));
  }
  return pages;
}

inline int ReadCount(const std::string& decoded) {
  const auto pages = LinkedPages(decoded);
  return pages.empty() ? 0 : pages.back();
}

inline bool IsValidUtf8(const std::string& s) {
  size_t i = 0;
  while (i < s.size()) {
    const auto b = static_cast<unsigned char>(s[i]);
    size_t len = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3
                             : (b & 0xF8) == 0xF0 ? 4 : 0;
    if (len == 0 || i + len > s.size()) return false;
    uint32_t cp = len == 1 ? b : b & (0x7F >> len);
    for (size_t k = 1; k < len; ++k) {
      const auto c = static_cast<unsigned char>(s[i + k]);
      if ((c & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (c & 0x3F);
    }
    const uint32_t min[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < min[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += len;
  }
  return true;
}

}  // namespace korvane::site::testing
