#pragma once
// Regular-expression matching on local texts (code page 936): one object holds the engine of its
// last Create, the subject and the matches of that run, and answers questions about them with
// 1-based match and group numbers. No operation reports an error: a refused pattern, a failed run,
// a number out of range or a question before the first Create give false, 0 or an empty text.
// The pattern language is described in regex/TranslatePattern.h.
//
// The library behind it keeps a per-thread initialisation count: construction raises it on the
// constructing thread and Destroy (or the destructor, when Destroy was not called) lowers it again
// there. An object belongs to one thread.
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "text/Types.h"

namespace korvane {

class CompiledRegex;
class MatchList;
class MatchScratch;

// Each option left out takes its default: case-insensitive, multi-line, global, marker kept.
struct CreateOptions {
  std::optional<bool> caseSensitive{};
  std::optional<bool> multiline{};
  std::optional<bool> global{};
  // Replaces every "#引号" of the pattern by a double quote before compiling.
  std::optional<bool> expandQuoteMarker{};
};

class RegexObject {
 public:
  // Construction runs the initialisation for the calling thread.
  RegexObject();
  ~RegexObject();
  RegexObject(RegexObject&& other) noexcept;
  RegexObject& operator=(RegexObject&& other) noexcept;
  RegexObject(const RegexObject&) = delete;  // Copy() is the way to share
  RegexObject& operator=(const RegexObject&) = delete;

  // The operations, in slot order.

  // Releases engine, matches and subject and balances this object's initialisation. A second
  // call does nothing.
  void Destroy();
  // A second object sharing this one's engine and matches, with its own copy of the subject. It
  // initialises for the calling thread as construction does, so that its own Destroy stays
  // balanced.
  RegexObject Copy() const;
  // A new engine for `pattern`, run on `subject`. True when the run produced its matches
  // (possibly none); false for a refused pattern or a subject too long, which leave no matches,
  // and for a run that hit a limit, which keeps the matches found before the point where it
  // stopped (a page's rows before a part made to make the pattern backtrack).
  bool Create(const Text& pattern, const Text& subject, const CreateOptions& options = {});
  void Reserved() const {}
  // The pattern of the last Create, after the marker expansion; empty before.
  Text GetPattern() const;
  // The last subject with its matches replaced ($1..$99, $&, $`, $', $$); empty without a
  // successful run (a run cut short by a limit included).
  Text Replace(const Text& replacement) const;
  int MatchCount() const;
  // Match `matchIndex` (from 1). `position`, when given, receives the match's exact 0-based
  // byte offset in the subject as given to Create, or -2 when there is no such match.
  Text MatchText(int matchIndex, int* position = nullptr) const;
  // Group `submatchIndex` (from 1) of match `matchIndex`; empty for a group that took no part.
  // `position` as for MatchText, the group's own offset; -2 for a group that took no part.
  Text SubmatchText(int matchIndex, int submatchIndex, int* position = nullptr) const;
  // The pattern's number of capturing groups; 0 when there is no match.
  int SubmatchCount() const;

  // The calling thread's initialisation count, for tests.
  static int ThreadInitCount();

 private:
  struct Engine;
  struct InitToken;
  struct Uninitialised {};
  explicit RegexObject(Uninitialised);
  bool CreateOrThrow(const Text& pattern, const Text& subject, const CreateOptions& options);
  static const std::shared_ptr<InitToken>& ThisThreadToken();
  void Initialise();
  // The units of group `group` of match `match` (0-based match, group 0 the whole match), or
  // nothing when there is no such match or group or the group took no part.
  std::optional<std::u16string_view> Units(int matchIndex, int group, std::size_t* start) const;
  int BytePosition(std::size_t unitIndex) const;
  std::u16string_view Subject() const { return {units_.get(), unitCount_}; }
  void SetSubject(std::string_view local);

  std::shared_ptr<const Engine> engine_;
  std::shared_ptr<const MatchList> matches_;
  // The subject as the engine sees it; the buffer is kept from one Create to the next.
  std::unique_ptr<char16_t[]> units_;
  std::size_t unitCount_ = 0;
  std::size_t unitRoom_ = 0;
  Text localSubject_;  // the subject as given, for byte positions
  std::unique_ptr<MatchScratch> scratch_;
  std::shared_ptr<InitToken> init_;
};

// The object's own conversions, always code page 936. LocalToUtf16 reads the text up to its
// first zero byte; Utf16ToLocal converts the units up to the first zero unit with the composite
// check (a base character and a combining mark become the precomposed character where 936 has
// one; characters without a mapping become '?').
std::u16string LocalToUtf16(std::string_view text);
Text Utf16ToLocal(std::u16string_view units);

}  // namespace korvane
