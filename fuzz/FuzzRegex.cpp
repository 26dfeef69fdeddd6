// RegexObject on any pattern, subject, options and replacement: every query, and the properties
// that must hold whatever the input.
//
// Input: one byte of options (for each of caseSensitive, multiline, global, expandQuoteMarker a
// "given" bit and a value bit), then pattern \0 subject \0 replacement.
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "regex/RegexObject.h"
#include "text/CodePage.h"
#include "text/TextOps.h"
#include "Require.h"

using namespace korvane;

namespace {

// The marker "#引号" in code page 936, replaced by exact byte comparison.
std::string Expand(std::string_view pattern) {
  constexpr std::string_view marker = "#\xD2\xFD\xBA\xC5";
  std::string out;
  std::size_t from = 0;
  for (std::size_t at; (at = pattern.find(marker, from)) != std::string_view::npos; from = at + marker.size()) {
    out.append(pattern.substr(from, at - from)).push_back('"');
  }
  return out.append(pattern.substr(from));
}

// What a local text becomes across the engine's plain boundary, by the general conversions.
std::string Plain(std::string_view text) { return WideToMultiByte(kCodePage936, MultiByteToWide(kCodePage936, text)); }

// The indexes a query is asked for besides the real ones: zero, negatives and beyond the end.
std::vector<int> OddIndexes(int count) { return {0, -1, INT_MIN, count + 1, count + 2, INT_MAX}; }

// A fresh or destroyed object.
void CheckFailed(const RegexObject& regex) {
  Require(regex.MatchCount() == 0, "no run, no matches");
  Require(regex.SubmatchCount() == 0, "no run, no groups");
  int position = 7;
  Require(regex.MatchText(1, &position).empty() && position == -2, "no run, no match 1");
  Require(regex.Replace("x").empty(), "Replace without a run is empty");
}

struct Span {
  int position;
  std::string text;
};

// `complete`: Create's result. A run that hit a limit keeps the matches found before it, and
// gives no replacement.
void CheckRun(const RegexObject& regex, const std::string& subject, bool global, const std::string& replacement,
              bool complete) {
  const int count = regex.MatchCount();
  const int groups = regex.SubmatchCount();
  Require(count >= 0, "match count not negative");
  Require(global || count <= 1, "without global at most one match");
  Require(count == 0 ? groups == 0 : groups >= 0, "group count is 0 without a match");
  // The subject as the engine read it equals the bytes given when 936 reads and writes it back
  // unchanged (with and without the composite check); only then can texts be compared to bytes.
  const std::u16string wide = MultiByteToWide(kCodePage936, subject);
  const bool exact = WideToMultiByte(kCodePage936, wide) == subject;
  const bool exactComposite = exact && WideToMultiByte(kCodePage936, wide, true) == subject;
  const int size = static_cast<int>(subject.size());

  if (!complete) {
    Require(regex.Replace("$&").empty() && regex.Replace(replacement).empty(), "no replacement after a failed run");
  } else {
    // "$&" puts every match back: the subject as it went through the engine's boundary.
    Require(regex.Replace("$&") == WideToMultiByte(kCodePage936, wide), "Replace $& gives the subject");
    if (count == 0) Require(regex.Replace(replacement) == WideToMultiByte(kCodePage936, wide), "no match, no change");
  }

  std::vector<Span> matches;
  // Every match would be many calls on a subject of thousands of empty matches: the first ones
  // and the last are enough to find a fault of the indexing.
  std::vector<int> asked;
  for (int j = 1; j <= count && j <= 64; ++j) asked.push_back(j);
  if (count > 64) asked.push_back(count);
  int previous = -1;
  for (const int j : asked) {
    Span m;
    m.text = regex.MatchText(j, &m.position);
    Require(m.position >= 0 && m.position <= size, "match position within the subject");
    Require(m.position > previous, "matches left to right, no two at one place");
    previous = m.position;
    if (exactComposite) {
      Require(subject.compare(static_cast<std::size_t>(m.position), m.text.size(), m.text) == 0,
              "match text stands at its position");
    }
    int nopos = 0;
    Require(regex.MatchText(j) == m.text && regex.MatchText(j, &nopos) == m.text, "match text with and without position");
    for (int k = 1; k <= groups + 1 && k <= 12; ++k) {
      int p = 7;
      const std::string g = regex.SubmatchText(j, k, &p);
      Require(regex.SubmatchText(j, k) == g, "group text with and without position");
      if (k > groups) {
        Require(g.empty() && p == -2, "no group beyond the pattern's");
        continue;
      }
      Require(p == -2 ? g.empty() : p >= 0 && p <= size, "group position within the subject or unset");
      // A group lies at or after its match's start (look-ahead may carry it past the match's end).
      Require(p == -2 || p >= m.position, "group starts at or after its match");
      if (exact && p >= 0) {
        Require(subject.compare(static_cast<std::size_t>(p), g.size(), g) == 0, "group text stands at its position");
      }
    }
    for (const int k : OddIndexes(groups)) {
      if (k >= 1 && k <= groups) continue;
      int p = 7;
      Require(regex.SubmatchText(j, k, &p).empty() && p == -2, "no group at an odd number");
    }
    matches.push_back(std::move(m));
  }
  for (const int j : OddIndexes(count)) {
    int p = 7;
    Require(regex.MatchText(j, &p).empty() && p == -2, "no match at an odd number");
    p = 7;
    Require(regex.SubmatchText(j, 1, &p).empty() && p == -2, "no group of a missing match");
  }

  // A replacement without "$" takes the place of each match: the lengths add up.
  const std::string replaced = regex.Replace(replacement);
  const std::string cutReplacement(UpToZero(replacement));
  if (complete && exactComposite && count <= 64 && cutReplacement.find('$') == std::string::npos) {
    std::size_t expected = subject.size();
    for (const Span& m : matches) expected = expected - m.text.size() + Plain(cutReplacement).size();
    Require(replaced.size() == expected, "Replace: lengths add up");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const unsigned flags = data[0];
  auto option = [&](int n) { return (flags >> (2 * n)) & 1 ? std::optional<bool>((flags >> (2 * n + 1)) & 1) : std::nullopt; };
  CreateOptions options{option(0), option(1), option(2), option(3)};
  const std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
  const auto a = rest.find('\0');
  const auto b = a == std::string::npos ? a : rest.find('\0', a + 1);
  const std::string pattern = rest.substr(0, a);
  const std::string subject = a == std::string::npos ? std::string() : rest.substr(a + 1, b == std::string::npos ? b : b - a - 1);
  const std::string replacement = b == std::string::npos ? std::string() : rest.substr(b + 1);
  const bool global = options.global.value_or(true);
  const bool expand = options.expandQuoteMarker.value_or(false);

  const int initBefore = RegexObject::ThreadInitCount();
  {
    RegexObject regex;
    Require(RegexObject::ThreadInitCount() == initBefore + 1, "construction initialises");
    Require(regex.MatchCount() == 0 && regex.SubmatchCount() == 0 && regex.GetPattern().empty(), "fresh object is empty");
    CheckFailed(regex);

    const bool ran = regex.Create(pattern, subject, options);
    Require(regex.GetPattern() == Plain(expand ? Expand(pattern) : pattern), "GetPattern gives the pattern used");
    CheckRun(regex, subject, global, replacement, ran);

    {
      const RegexObject copy = regex.Copy();
      Require(RegexObject::ThreadInitCount() == initBefore + 2, "a copy initialises");
      Require(copy.MatchCount() == regex.MatchCount() && copy.SubmatchCount() == regex.SubmatchCount(), "copy counts");
      Require(copy.GetPattern() == regex.GetPattern(), "copy pattern");
      Require(copy.Replace(replacement) == regex.Replace(replacement), "copy replaces alike");
      const int last = regex.MatchCount();
      int p1 = 0, p2 = 0;
      Require(copy.MatchText(last, &p1) == regex.MatchText(last, &p2) && p1 == p2, "copy's last match");
    }
    Require(RegexObject::ThreadInitCount() == initBefore + 1, "a copy's end balances its initialisation");

    // The same object again, the roles swapped: the kept subject buffer must not leak old units.
    CheckRun(regex, pattern, global, replacement, regex.Create(subject, pattern, options));
    regex.Destroy();
    Require(RegexObject::ThreadInitCount() == initBefore, "Destroy balances");
    regex.Destroy();
    CheckFailed(regex);
  }
  Require(RegexObject::ThreadInitCount() == initBefore, "a destroyed object's end changes nothing");
  return 0;
}
