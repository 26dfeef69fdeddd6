#pragma once
// What the search lists for the sample site's rows: the row in code page 936 with its magnet link.
#include <initializer_list>
#include <string>
#include <vector>

#include "sample-site/SitePages.h"
#include "search/PageRules.h"
#include "search/ResultRow.h"
#include "search/TextCodecs.h"

namespace korvane::testing {

inline ResultRow ListedRow(const site::SiteRow& r) {
  return {Utf8ToLocal(r.name), Utf8ToLocal(r.size), Utf8ToLocal(r.files), Utf8ToLocal(r.date),
          Text(MagnetLinkPrefix) + r.infoHash};
}

// The rows of the keyword's numbered pages, in page order.
inline std::vector<ResultRow> ListedRows(const std::string& keyword, std::initializer_list<int> pages) {
  std::vector<ResultRow> rows;
  for (const int p : pages) {
    for (const auto& r : site::PageRows(keyword, p)) rows.push_back(ListedRow(r));
  }
  return rows;
}

}  // namespace korvane::testing
