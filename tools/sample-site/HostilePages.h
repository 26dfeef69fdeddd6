#pragma once
// Page bodies for the misbehaving modes that change what is sent rather than how.
#include "sample-site/SitePages.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace korvane::site {

// The invalid UTF-8 sequences that the bad-UTF-8 page puts in front of its row names, row i
// taking sequence i modulo their number.
std::span<const std::string_view> BadUtf8Sequences();

// The page with invalid UTF-8 before every row name, in its title, written percent-encoded in
// its summary (the reader's percent-decoding turns that into raw bytes) and cut short at its
// very end. The rows still have the result-block layout.
std::string RenderBadUtf8Page(const KeywordPlan& plan, const PageAddress& page);

// The page with, after its own rows, one line of `blocks` result-block heads that never reach
// the line feed that ends a block's first line. Each head matches the row pattern up to there,
// so a backtracking matcher retries every later head from every earlier one.
std::string RenderBacktrackPage(const KeywordPlan& plan, const PageAddress& page, int blocks);
// One of those heads.
std::string BacktrackHead(const SiteRow& row);

// A page of `totalBytes` (at least as long as its ordinary content) made while it is read:
// the ordinary head and rows, padding lines, then the pager and footer.
class HugePage {
 public:
  HugePage(const KeywordPlan& plan, const PageAddress& page, uint64_t totalBytes);
  uint64_t Size() const { return size_; }
  // Appends bytes [offset, offset + n) of the page to `out`, clipped at its end.
  void Read(uint64_t offset, size_t n, std::string& out) const;

 private:
  std::string prefix_;
  std::string tail_;
  uint64_t size_ = 0;
};

}  // namespace korvane::site
