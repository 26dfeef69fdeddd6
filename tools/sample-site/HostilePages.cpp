#include "sample-site/HostilePages.h"

#include <algorithm>
#include <array>

namespace korvane::site {

namespace {

using namespace std::string_view_literals;

constexpr std::array kBadSequences{
    "\xFF"sv,                  // never valid
    "\xC3("sv,                 // a lead byte followed by ASCII
    "\xE9\x80!"sv,             // a three-byte sequence one byte short
    "\xC0\xAF"sv,              // overlong "/"
    "\xED\xA0\x80"sv,          // a UTF-16 surrogate
    "\x80"sv,                  // a lone continuation byte
    "\xF4\x90\x80\x80"sv,      // beyond U+10FFFF
    "\xFE\xFE"sv,
};

constexpr std::string_view kPadLine = "<!-- padding padding padding padding padding padding -->\n";

}  // namespace

std::span<const std::string_view> BadUtf8Sequences() { return kBadSequences; }

std::string RenderBadUtf8Page(const KeywordPlan& plan, const PageAddress& page) {
  auto rows = PageRows(plan, page.numbered ? page.number : 1);
  for (size_t i = 0; i < rows.size(); ++i) {
    rows[i].name.insert(0, kBadSequences[i % kBadSequences.size()]);
  }
  PageParts parts = RenderPageParts(plan, page, rows);
  const auto title = parts.head.find("<title>");
  if (title != std::string::npos) parts.head.insert(title + 7, "\xFF\xFE");
  return parts.head + "<p class=\"enc\">%FF%C0%AF</p>\n" + parts.blocks + parts.tail +
         "\xE6\x83";
}

std::string BacktrackHead(const SiteRow& row) {
  return "<li><div class=\"T1\"><a href=\"/read/" + row.infoHash +
         ".html\" target=\"_blank\">" + row.name + "</a></div>";
}

std::string RenderBacktrackPage(const KeywordPlan& plan, const PageAddress& page, int blocks) {
  const int number = page.numbered ? page.number : 1;
  const PageParts parts = RenderPageParts(plan, page, PageRows(plan, number));
  // The heads reuse a few rows of a page beyond the keyword's last one.
  KeywordPlan filler = plan;
  filler.rowsPerPage = 7;
  filler.pageCount = std::max(plan.pageCount, number) + 1;
  const auto names = PageRows(filler, filler.pageCount);
  std::string line;
  for (int i = 0; i < blocks; ++i) {
    line += EscapePercent(BacktrackHead(names[static_cast<size_t>(i) % names.size()]));
  }
  return parts.head + parts.blocks + line + "\n" + parts.tail;
}

HugePage::HugePage(const KeywordPlan& plan, const PageAddress& page, uint64_t totalBytes) {
  const PageParts parts = RenderPageParts(plan, page, PageRows(plan, page.numbered ? page.number : 1));
  prefix_ = parts.head + parts.blocks;
  // The padding may end in the middle of a line; the tail then starts a fresh one.
  tail_ = "\n" + parts.tail;
  size_ = std::max<uint64_t>(totalBytes, prefix_.size() + tail_.size());
}

void HugePage::Read(uint64_t offset, size_t n, std::string& out) const {
  const uint64_t end = std::min<uint64_t>(size_, offset + n);
  const uint64_t padEnd = size_ - tail_.size();
  while (offset < end) {
    if (offset < prefix_.size()) {
      const size_t take = static_cast<size_t>(std::min<uint64_t>(end, prefix_.size()) - offset);
      out.append(prefix_, static_cast<size_t>(offset), take);
      offset += take;
    } else if (offset < padEnd) {
      const uint64_t inPad = offset - prefix_.size();
      const size_t at = static_cast<size_t>(inPad % kPadLine.size());
      const size_t take = static_cast<size_t>(
          std::min<uint64_t>({end - offset, padEnd - offset, kPadLine.size() - at}));
      out.append(kPadLine.substr(at, take));
      offset += take;
    } else {
      const size_t at = static_cast<size_t>(offset - padEnd);
      const size_t take = static_cast<size_t>(end - offset);
      out.append(tail_, at, take);
      offset += take;
    }
  }
}

}  // namespace korvane::site
