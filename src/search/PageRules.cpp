#include "search/PageRules.h"

#include "text/TextOps.h"

namespace korvane {

// Both run with the Create defaults: case-insensitive, multi-line, global.
int ReadPageCount(RegexObject& regex, const Text& page, bool* complete) {
  const bool ran = regex.Create(Text(PageCountPattern), page);
  if (complete) *complete = ran;
  // With no match this asks for match 0, whose text is empty: a count of 0.
  return TextToInt(regex.SubmatchText(regex.MatchCount(), 1));
}

std::vector<ResultRow> CutResultRows(RegexObject& regex, const Text& page, bool* complete) {
  const bool ran = regex.Create(Text(ResultRowPattern), page);
  if (complete) *complete = ran;
  const int count = regex.MatchCount();
  std::vector<ResultRow> rows;
  rows.reserve(static_cast<std::size_t>(count));
  for (int j = 1; j <= count; ++j) {
    ResultRow& row = rows.emplace_back();
    row.name = regex.SubmatchText(j, 2);
    row.size = regex.SubmatchText(j, 3);
    row.files = regex.SubmatchText(j, 4);
    row.date = regex.SubmatchText(j, 5);
    row.magnet = Text(MagnetLinkPrefix) + regex.SubmatchText(j, 1);
  }
  return rows;
}

}  // namespace korvane
