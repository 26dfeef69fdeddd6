#include "sample-site/FaultRule.h"

#include "sample-site/ParseDecimal.h"

#include <algorithm>
#include <array>
#include <utility>

namespace korvane::site {

bool PageSelector::Matches(bool numbered, int number) const {
  switch (kind) {
    case Kind::All:
      return true;
    case Kind::First:
      return !numbered;
    case Kind::Numbered:
      return numbered;
    case Kind::Page:
      return numbered && number == page;
  }
  return false;
}

int EffectiveArg(const FaultRule& rule) {
  const int a = rule.arg;
  switch (rule.fault) {
    case Fault::Status:
      return a >= 400 && a <= 599 ? a : 500;
    case Fault::CutOff:
      return a <= 0 ? 50 : std::min(a, 99);
    case Fault::Trickle:
      return a <= 0 ? 2000 : std::min(a, kMaxDelayMs);
    case Fault::Huge:
      return a <= 0 ? 100 : std::min(a, kMaxHugeMiB);
    case Fault::Backtrack:
      return a <= 0 ? 2000 : std::min(a, kMaxBacktrackBlocks);
    case Fault::None:
    case Fault::Reset:
    case Fault::BadUtf8:
    case Fault::RedirectLoop:
      return 0;
  }
  return 0;
}

std::optional<PageSelector> ParsePageSelector(std::string_view text) {
  using Kind = PageSelector::Kind;
  if (text == "all") return PageSelector{Kind::All, 0};
  if (text == "first") return PageSelector{Kind::First, 0};
  if (text == "numbered") return PageSelector{Kind::Numbered, 0};
  const auto n = ParseDecimal(text);
  if (!n || *n < 1) return std::nullopt;
  return PageSelector{Kind::Page, *n};
}

namespace {

// Splits "BODY@WHERE" and parses WHERE; a missing WHERE means every page.
std::optional<std::pair<std::string_view, PageSelector>> SplitSelector(std::string_view text) {
  const auto at = text.find('@');
  if (at == std::string_view::npos) return std::pair{text, PageSelector{}};
  const auto where = ParsePageSelector(text.substr(at + 1));
  if (!where) return std::nullopt;
  return std::pair{text.substr(0, at), *where};
}

constexpr std::array<std::pair<std::string_view, Fault>, 8> kModes{{
    {"status", Fault::Status},
    {"cut", Fault::CutOff},
    {"reset", Fault::Reset},
    {"trickle", Fault::Trickle},
    {"badutf8", Fault::BadUtf8},
    {"huge", Fault::Huge},
    {"redirect", Fault::RedirectLoop},
    {"backtrack", Fault::Backtrack},
}};

bool TakesArg(Fault fault) {
  return fault == Fault::Status || fault == Fault::CutOff || fault == Fault::Trickle ||
         fault == Fault::Huge || fault == Fault::Backtrack;
}

}  // namespace

std::optional<FaultRule> ParseFaultRule(std::string_view text) {
  const auto split = SplitSelector(text);
  if (!split) return std::nullopt;
  auto [body, where] = *split;

  FaultRule rule;
  rule.where = where;
  // A bare status code is the short form of "status:CODE".
  if (const auto code = ParseDecimal(body)) {
    if (*code < 400 || *code > 599) return std::nullopt;
    rule.fault = Fault::Status;
    rule.arg = *code;
    return rule;
  }

  std::string_view name = body;
  std::string_view arg;
  const auto colon = body.find(':');
  if (colon != std::string_view::npos) {
    name = body.substr(0, colon);
    arg = body.substr(colon + 1);
  }
  const auto mode = std::find_if(kModes.begin(), kModes.end(),
                                 [&](const auto& m) { return m.first == name; });
  if (mode == kModes.end()) return std::nullopt;
  rule.fault = mode->second;
  if (colon != std::string_view::npos) {
    const auto value = ParseDecimal(arg);
    if (!value || !TakesArg(rule.fault)) return std::nullopt;
    rule.arg = *value;
  }
  if (rule.fault == Fault::Status && (rule.arg < 400 || rule.arg > 599)) return std::nullopt;
  return rule;
}

std::optional<FaultRule> ParseDelayRule(std::string_view text) {
  const auto split = SplitSelector(text);
  if (!split) return std::nullopt;
  const auto ms = ParseDecimal(split->first);
  if (!ms) return std::nullopt;
  FaultRule rule;
  rule.where = split->second;
  rule.delayMs = std::min(*ms, kMaxDelayMs);
  return rule;
}

std::string_view FaultName(Fault fault) {
  if (fault == Fault::None) return "none";
  for (const auto& [name, mode] : kModes) {
    if (mode == fault) return name;
  }
  return "none";
}

}  // namespace korvane::site
