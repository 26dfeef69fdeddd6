#pragma once
// The sample site's pages: addresses, deterministic rows and the HTML that carries them.
//
// Addresses: "/word/<keyword>.html" is a keyword's first page, "/word/<keyword>_<n>.html" its
// numbered page n. The keyword is written with every byte as %XX; a literal "_" and literal
// digits before ".html" are the page number, so the keyword "a_1" (%61%5F%31) is never taken
// for page 1 of "a".
//
// Pages are UTF-8 with LF line ends. A reader percent-decodes the whole page before reading it,
// so every "%" in the page's text is written as %25, and the links to numbered pages carry the
// keyword percent-encoded. The first page lists page 1's rows and links to the numbered pages;
// the last such link in document order is page N (a "next page" link to page 2 stands before
// it when N is 3 or more).
#include "sample-site/KeywordPlan.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::site {

// One result as it stands in the page once percent-decoded: UTF-8, the name HTML-escaped.
struct SiteRow {
  std::string infoHash;  // 40 upper-case hexadecimal digits, or empty
  std::string name;
  std::string size;      // "1.37 GB", "845.20 MB"
  std::string files;     // decimal
  std::string date;      // YYYY-MM-DD

  bool operator==(const SiteRow&) const = default;
};

struct PageAddress {
  std::string keyword;  // percent-decoded: the bytes the client sent
  bool numbered = false;
  int number = 0;       // for numbered pages
};

// Every byte as "%" and two upper-case hexadecimal digits.
std::string PercentEncodeAll(std::string_view bytes);
// %XX with two hexadecimal digits becomes its byte; everything else stays as it is.
std::string PercentDecode(std::string_view text);
// "%" as "%25", so that a reader's percent-decoding gives the text back.
std::string EscapePercent(std::string_view text);
// & < > " as entities.
std::string EscapeHtml(std::string_view text);

// The path of page `page` of `keyword` (UTF-8): 0 for the first page, n ≥ 1 for page n.
std::string PagePath(std::string_view keyword, int page);
// The path of a request target: the query dropped, and the scheme and host too when the target
// is an absolute URL (as sent to proxies).
std::string_view TargetPath(std::string_view target);
// A request target ("/word/...html", as TargetPath reads it) as a page address.
std::optional<PageAddress> ParsePagePath(std::string_view target);

int PageCountOf(std::string_view keyword);
// The rows of numbered page `page` (none outside 1..N); the first page shows those of page 1.
std::vector<SiteRow> PageRows(const KeywordPlan& plan, int page);
std::vector<SiteRow> PageRows(std::string_view keyword, int page);

// One result block, as the page reads once percent-decoded.
std::string ResultBlock(const SiteRow& row);

// A page in three pieces as sent: everything before the results, the result blocks, and the
// rest (pager and footer); misbehaving pages put their own matter between them.
struct PageParts {
  std::string head;
  std::string blocks;
  std::string tail;
};
PageParts RenderPageParts(const KeywordPlan& plan, const PageAddress& page,
                          const std::vector<SiteRow>& rows);
std::string RenderPage(const KeywordPlan& plan, const PageAddress& page);

std::string RenderHomePage();
std::string RenderErrorPage(int status);

}  // namespace korvane::site
