#pragma once
// What the sample site makes of a keyword: the words that go into the result names, the page
// count, the rows per page and any misbehaviour the keyword asks for.
//
// Directives ride inside the keyword, so that a search typed into the real client can steer
// the site. Each is "#" followed by one of:
//   pages=N        the first page announces N pages (0 .. 1000000)
//   rows=R         every page from 1 to N holds R rows (0 .. 500)
//   emptyhash=K    row K (from 1) of every page has an empty info-hash
//   fault=RULE     misbehave, RULE as in ParseFaultRule: "500@1", "cut:30", "reset@first", ...
//   delay=MS[@W]   wait MS milliseconds before answering the selected pages
// Anything after a "#" that is not one of these stays part of the keyword ("C#" is a keyword).
// Several fault and delay directives may be given; for each page the first fault that selects
// it applies and the delays that select it add up.
//
// Without directives: an empty keyword (after trimming spaces) announces no pages, any other
// announces 2, with 4 to 7 rows on page 1 and fewer on page 2, chosen from the keyword.
#include "sample-site/FaultRule.h"

#include <string>
#include <string_view>
#include <vector>

namespace korvane::site {

inline constexpr int kMaxPageCount = 1'000'000;
inline constexpr int kMaxRowsPerPage = 500;

struct KeywordPlan {
  std::string keyword;   // the whole keyword as it came, directives included (links use it)
  std::string base;      // without directives, spaces trimmed: valid UTF-8 with no controls
  int pageCount = 0;
  int rowsPerPage = -1;  // -1: the keyword's own choice
  int emptyHashRow = 0;  // 0: none
  std::vector<FaultRule> rules;
};

KeywordPlan ParseKeyword(std::string_view keyword);

// Invalid UTF-8 becomes U+FFFD and control characters spaces, so that whatever bytes a path
// carried, the page text built from it stays well-formed.
std::string CleanKeyword(std::string_view bytes);

}  // namespace korvane::site
