#pragma once
// The ways the sample site can misbehave on one page, and what a search must make of each: the
// table that the search's and the command-line tool's hostile-site tests walk, each for the
// first page and for numbered page 1 of a keyword that announces two pages.
#include <string>
#include <string_view>
#include <vector>

#include "sample-site/HostilePages.h"
#include "sample-site/SitePages.h"

namespace korvane::hostile {

// The timeouts the tests give the client, so that a slow page fails soon; whole seconds, since
// korvane-search takes seconds. Generous enough for a loaded machine under a sanitizer.
inline constexpr int kConnectTimeoutMs = 5000;
inline constexpr int kNoProgressTimeoutMs = 3000;

// What becomes of the misbehaving page.
enum class Outcome {
  Fails,      // no body at all: the fetch fails
  ErrorPage,  // an error page comes instead: read, but it holds nothing
  Read,       // the page is read whole, its rows kept
  ReadShort,  // the row pattern gives up on the page: the rows before that point are kept
};

struct Mode {
  const char* name;
  const char* directive;  // the site's directive, without its page selector
  Outcome outcome;
  // Part of what korvane-search says about the page on standard error (empty: nothing special).
  const char* says;
  // Row names arrive with invalid UTF-8 in front of them.
  bool badNames = false;
};

inline constexpr Mode kModes[] = {
    // Held back far beyond the no-progress timeout.
    {"slow", "#delay=20000", Outcome::Fails, "nothing moved for 3000 ms"},
    // Slow, but never still for as long as the timeout: the page arrives whole.
    {"trickle", "#fault=trickle:3000", Outcome::Read, ""},
    {"cut", "#fault=cut", Outcome::Fails, "transfer closed"},
    {"reset", "#fault=reset", Outcome::Fails, "reset"},
    {"404", "#fault=404", Outcome::ErrorPage, "HTTP status 404"},
    {"500", "#fault=500", Outcome::ErrorPage, "HTTP status 500"},
    {"badutf8", "#fault=badutf8", Outcome::Read, "", true},
    // 100 MiB: over the client's 64 MiB body cap.
    {"huge", "#fault=huge:100", Outcome::Fails, "larger than 64 MiB"},
    // 48 MiB: within the cap, so the page is read and its rows are kept.
    {"large", "#fault=huge:48", Outcome::Read, ""},
    {"redirect", "#fault=redirect", Outcome::Fails, "redirects"},
    // 20000 unclosed result-block heads (3 MB) on one line after the page's own rows: far more
    // than the matcher's limit lets it try. The first page runs only the page-link pattern,
    // which the heads do not disturb.
    {"backtrack", "#fault=backtrack:20000", Outcome::ReadShort, "could not be read to its end"},
};

// The keyword of a search whose first page (`first`) or numbered page 1 misbehaves.
inline std::string Keyword(const Mode& mode, bool first) {
  return std::string("kw#pages=2") + mode.directive + (first ? "@first" : "@1");
}

// What becomes of the page as the search sees it: the first page runs no row pattern.
inline Outcome OutcomeOn(const Mode& mode, bool first) {
  return first && mode.outcome == Outcome::ReadShort ? Outcome::Read : mode.outcome;
}

inline bool GivesNothing(Outcome outcome) { return outcome == Outcome::Fails || outcome == Outcome::ErrorPage; }

// The rows numbered page `page` shows (site form: UTF-8), as the site makes them.
inline std::vector<site::SiteRow> ShownRows(const Mode& mode, bool first, int page) {
  auto rows = site::PageRows(Keyword(mode, first), page);
  if (!first && page == 1 && mode.badNames) {
    const auto bad = site::BadUtf8Sequences();
    for (std::size_t i = 0; i < rows.size(); ++i) rows[i].name.insert(0, bad[i % bad.size()]);
  }
  return rows;
}

// The numbered pages whose rows the search keeps, in order: none when the first page gave
// nothing (no page count), else every page but a misbehaving one that gave nothing.
inline std::vector<int> PagesKept(const Mode& mode, bool first) {
  const bool nothing = GivesNothing(OutcomeOn(mode, first));
  if (first) return nothing ? std::vector<int>{} : std::vector<int>{1, 2};
  return nothing ? std::vector<int>{2} : std::vector<int>{1, 2};
}

}  // namespace korvane::hostile
