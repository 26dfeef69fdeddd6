// ReadPageCount and CutResultRows on any page body, decoded as the search decodes it, with one
// RegexObject for both as the search keeps it. Checked: the count against a hand-written scan of
// the page-count pattern, and every row against the page it was cut from.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "regex/RegexObject.h"
#include "search/PageRules.h"
#include "search/TextCodecs.h"
#include "text/CodePage.h"
#include "text/TextOps.h"
#include "Require.h"

using namespace korvane;

namespace {

char16_t Lower(char16_t c) { return c >= 'A' && c <= 'Z' ? static_cast<char16_t>(c + 32) : c; }

bool StartsWithCaseless(std::u16string_view text, std::size_t at, std::u16string_view what) {
  if (at > text.size() || text.size() - at < what.size()) return false;
  for (std::size_t i = 0; i < what.size(); ++i) {
    if (Lower(text[at + i]) != what[i]) return false;
  }
  return true;
}

// "/word/.*?_(\d+)\.html", case-insensitive and global, scanned by hand on the units the engine
// sees: the digits of the last match, read as TextToInt reads them (saturating), or 0.
int ScanPageCount(std::u16string_view page) {
  int count = 0;
  std::size_t from = 0;
  while (true) {
    std::size_t start = std::u16string_view::npos;
    std::size_t end = 0;
    int number = 0;
    for (std::size_t s = from; s + 6 <= page.size() && start == std::u16string_view::npos; ++s) {
      if (!StartsWithCaseless(page, s, u"/word/")) continue;
      // The lazy dot: the first "_" on the line that digits and ".html" follow.
      for (std::size_t p = s + 6; p < page.size() && page[p] != u'\n'; ++p) {
        if (page[p] != u'_') continue;
        std::size_t q = p + 1;
        long long value = 0;
        while (q < page.size() && page[q] >= u'0' && page[q] <= u'9') {
          value = std::min<long long>(value * 10 + (page[q] - u'0'), INT_MAX);
          ++q;
        }
        if (q > p + 1 && StartsWithCaseless(page, q, u".html")) {
          start = s;
          end = q + 5;
          number = static_cast<int>(value);
          break;
        }
      }
    }
    if (start == std::u16string_view::npos) return count;
    count = number;
    from = end;
  }
}

std::string LowerBytes(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // As the search has it: the body up to its first zero byte, percent-decoded and read as UTF-8.
  const std::string input(reinterpret_cast<const char*>(data), size);
  const Text page = UrlDecode(UpToZero(input), true);
  RegexObject regex;

  bool complete = true;
  const int count = ReadPageCount(regex, page, &complete);
  Require(count >= 0, "a page count is never negative");
  // A run cut short by a limit counts the links before that point only.
  if (complete) Require(count == ScanPageCount(MultiByteToWide(kCodePage936, page)), "page count as the pattern reads it");

  const auto rows = CutResultRows(regex, page);
  // Every row is a block of the page: its cells stand in the page in their markup, block after
  // block. (Compared without ASCII case, as the pattern matches.)
  const std::string lowered = LowerBytes(page);
  const bool exact = WideToMultiByte(kCodePage936, MultiByteToWide(kCodePage936, page)) == page;
  std::size_t previous = 0;
  bool first = true;
  for (const ResultRow& row : rows) {
    Require(row.magnet.compare(0, MagnetLinkPrefix.size(), MagnetLinkPrefix) == 0, "magnet link starts with the prefix");
    const std::string hash = row.magnet.substr(MagnetLinkPrefix.size());
    for (const Text* cell : {&row.name, &row.size, &row.files, &row.date, &hash}) {
      Require(cell->find('\n') == std::string::npos, "no cell crosses a line");
      Require(cell->size() <= page.size(), "a cell is part of the page");
    }
    if (!exact) continue;
    const std::string head = LowerBytes("/read/" + hash);
    const std::size_t at = lowered.find(head, first ? 0 : previous + 1);
    Require(at != std::string::npos, "the info-hash stands in the page, after the previous row's");
    Require(lowered.find(LowerBytes(">" + row.name + "</a></div>\n\t\t    <dl class=\"botinfo\">"), at) != std::string::npos,
            "the name stands in the page");
    Require(lowered.find(LowerBytes(":<span>" + row.size + "  </span> &nbsp;"), at) != std::string::npos,
            "the size stands in the page");
    Require(lowered.find(LowerBytes(":<span>" + row.files + " </span> &nbsp;"), at) != std::string::npos,
            "the file count stands in the page");
    Require(lowered.find(LowerBytes("<span class=\"ctime\">" + row.date + "</span>"), at) != std::string::npos,
            "the date stands in the page");
    previous = at;
    first = false;
  }

  // The object serves the next page of a search as well as the first: the same answers again.
  Require(ReadPageCount(regex, page) == count, "the page count again");
  Require(CutResultRows(regex, page) == rows, "the rows again");
  return 0;
}
