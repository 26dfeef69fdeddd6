#pragma once
// The matching engine on UTF-16 text: a pattern of the system's language compiled by PCRE2
// (16-bit, JIT where available), its global-match loop and its replacement expander.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct pcre2_real_code_16;
struct pcre2_real_match_data_16;

namespace korvane {

// Subjects longer than this many units are refused: no page comes near it, and a run on more
// could take memory and time without bound. It is no smaller than the largest body the HTTP
// client accepts (64 MiB, at most one unit a byte), so that every page fetched is read whole.
inline constexpr std::size_t kMaxSubjectUnits = std::size_t{64} << 20;

// The matches of one run: for each match, the start and end of the whole match and of every
// capturing group, in UTF-16 units; kUnset for a group that took no part. A run that stopped at
// a limit keeps the matches it found before, and is marked incomplete.
class MatchList {
 public:
  static constexpr std::uint32_t kUnset = UINT32_MAX;

  explicit MatchList(int groupCount) : groupCount_(groupCount) {}

  int GroupCount() const { return groupCount_; }
  std::size_t Count() const { return spans_.size() / Stride(); }
  // Group 0 is the whole match.
  std::uint32_t Start(std::size_t match, int group) const { return spans_[match * Stride() + 2 * Index(group)]; }
  std::uint32_t End(std::size_t match, int group) const { return spans_[match * Stride() + 2 * Index(group) + 1]; }
  bool IsSet(std::size_t match, int group) const { return Start(match, group) != kUnset; }

  // False when the run stopped at a limit before the subject's end: matches beyond that point
  // may be missing.
  bool Complete() const { return complete_; }

  void Append(const std::uint32_t* pairs) { spans_.insert(spans_.end(), pairs, pairs + Stride()); }
  void MarkIncomplete() { complete_ = false; }

 private:
  std::size_t Stride() const { return 2 * (static_cast<std::size_t>(groupCount_) + 1); }
  static std::size_t Index(int group) { return static_cast<std::size_t>(group); }
  int groupCount_;
  bool complete_ = true;
  std::vector<std::uint32_t> spans_;
};

// Match data kept between runs, so that a run allocates it only when it needs more room.
class MatchScratch {
 public:
  MatchScratch();
  ~MatchScratch();
  MatchScratch(MatchScratch&&) noexcept;
  MatchScratch& operator=(MatchScratch&&) noexcept;
  // Room for at least `pairs` offset pairs; null when it cannot be had.
  pcre2_real_match_data_16* Get(std::uint32_t pairs);

 private:
  struct Holder;
  std::unique_ptr<Holder> holder_;
};

class CompiledRegex {
 public:
  // Nothing when the pattern is refused by the translator or by PCRE2.
  static std::optional<CompiledRegex> Compile(std::u16string_view pattern, bool ignoreCase, bool multiline);

  CompiledRegex(CompiledRegex&&) noexcept;
  CompiledRegex& operator=(CompiledRegex&&) noexcept;
  ~CompiledRegex();

  int GroupCount() const { return groupCount_; }

  // The matches, left to right without overlap (all of them with `global`, else the first).
  // After an empty match the search goes on one unit further, with no second try at the same
  // place. A match, heap or JIT stack limit reached ends the run there: the matches found before
  // it are kept, the list marked incomplete. Nothing when the run cannot start: a subject over
  // kMaxSubjectUnits, or no memory for the match data.
  std::optional<MatchList> Run(std::u16string_view subject, bool global, MatchScratch& scratch) const;

 private:
  struct CodeFree {
    void operator()(pcre2_real_code_16* code) const;
  };
  CompiledRegex(std::unique_ptr<pcre2_real_code_16, CodeFree> code, int groupCount, bool jit);
  std::unique_ptr<pcre2_real_code_16, CodeFree> code_;
  int groupCount_ = 0;
  bool jit_ = false;  // compiled by JIT: matched through its direct entry
};

// A replacement's result may not grow beyond this many units: "$`" on every one of many matches
// would otherwise grow with the square of the subject.
inline constexpr std::size_t kMaxReplacedUnits = std::size_t{64} << 20;

// `subject` with each match replaced by `replacement`, expanded ECMAScript-style: $$ is "$",
// $& the match, $` the text before it, $' the text after it, $1..$99 a group (empty when the
// group took no part; a two-digit number beyond the groups is one digit and a literal digit; a
// number naming no group stays as written); any other "$" is literal. Nothing when the result
// would pass kMaxReplacedUnits.
std::optional<std::u16string> ReplaceMatches(std::u16string_view subject, const MatchList& matches,
                                             std::u16string_view replacement);

}  // namespace korvane
