#pragma once
// How the sample site misbehaves on chosen pages, so that tests can put a client through the
// faults a real site shows. A rule comes from the API (SampleSite::AddRule) or from a keyword
// directive ("#fault=500@1", "#delay=300@first": see KeywordPlan.h).
#include <optional>
#include <string>
#include <string_view>

namespace korvane::site {

enum class Fault {
  None,
  Status,        // answer with an error status (arg: 400..599, default 500) and an error page
  CutOff,        // announce the whole length, send arg percent of the body (default 50), close
  Reset,         // abort the connection with a TCP reset before any byte of the answer
  Trickle,       // send the body in small pieces spread over arg milliseconds (default 2000)
  BadUtf8,       // the page with invalid UTF-8 sequences in its text
  Huge,          // a page of arg MiB (default 100), generated while it is sent
  RedirectLoop,  // a 302 to the same page with "?hop=1" added, which redirects back
  Backtrack,     // the page followed by arg result-block heads that never close (default 2000)
};

// Which pages of a keyword a rule applies to: the first (unnumbered) page, the numbered ones,
// one numbered page, or all of them.
struct PageSelector {
  enum class Kind { All, First, Numbered, Page };
  Kind kind = Kind::All;
  int page = 0;  // for Kind::Page

  bool Matches(bool numbered, int number) const;
  bool operator==(const PageSelector&) const = default;
};

struct FaultRule {
  PageSelector where;
  Fault fault = Fault::None;
  int arg = 0;      // the mode's parameter; 0 takes its default, values beyond its bound are capped
  int delayMs = 0;  // waited before the answer; the delays of all matching rules add up

  bool operator==(const FaultRule&) const = default;
};

// Upper bounds that keep every mode finite in time and memory.
inline constexpr int kMaxDelayMs = 60'000;
inline constexpr int kMaxHugeMiB = 1024;
inline constexpr int kMaxBacktrackBlocks = 100'000;

// The rule's parameter with its default filled in and its bound applied.
int EffectiveArg(const FaultRule& rule);

// "first", "numbered", "all" or a page number from 1.
std::optional<PageSelector> ParsePageSelector(std::string_view text);

// MODE[:ARG][@WHERE], MODE one of: a status 400..599 (or "status:CODE"), "cut", "reset",
// "trickle", "badutf8", "huge", "redirect", "backtrack". WHERE defaults to all pages.
std::optional<FaultRule> ParseFaultRule(std::string_view text);

// MS[@WHERE]: a rule that only delays.
std::optional<FaultRule> ParseDelayRule(std::string_view text);

// The mode's name as the keyword syntax spells it ("cut", "reset", ...).
std::string_view FaultName(Fault fault);

}  // namespace korvane::site
