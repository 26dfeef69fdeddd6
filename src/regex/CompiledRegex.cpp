#include "regex/CompiledRegex.h"

#include "regex/Pcre2Handles.h"
#include "regex/TranslatePattern.h"

namespace korvane {
namespace {

// A runaway run ends at this many steps of the matcher (per starting position), in a few
// milliseconds; a result block of a page takes a few hundred.
constexpr std::uint32_t kMatchLimit = 1'000'000;
// The interpreter (used when JIT is unavailable) keeps its backtracking frames on the heap.
constexpr std::uint32_t kHeapLimitKiB = 64 * 1024;
constexpr std::uint32_t kDepthLimit = 1'000'000;
constexpr std::size_t kJitStackStart = 32 * 1024;
constexpr std::size_t kJitStackMax = 8 * 1024 * 1024;

// The match context with the limits and this thread's JIT stack: one per thread, since a JIT
// stack may serve one match at a time.
pcre2_match_context* ThreadMatchContext() {
  struct PerThread {
    Pcre2JitStack stack{pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr)};
    Pcre2MatchContext context{pcre2_match_context_create(nullptr)};
    bool ready = false;
    PerThread() {
      if (!context) return;
      pcre2_set_match_limit(context.get(), kMatchLimit);
      pcre2_set_heap_limit(context.get(), kHeapLimitKiB);
      pcre2_set_depth_limit(context.get(), kDepthLimit);
      // Without a stack of its own JIT would use 32 KiB on the machine stack.
      if (stack) pcre2_jit_stack_assign(context.get(), nullptr, stack.get());
      ready = true;
    }
  };
  thread_local PerThread perThread;
  return perThread.ready ? perThread.context.get() : nullptr;
}

}  // namespace

struct MatchScratch::Holder {
  Pcre2MatchData data;
};

MatchScratch::MatchScratch() = default;
MatchScratch::~MatchScratch() = default;
MatchScratch::MatchScratch(MatchScratch&&) noexcept = default;
MatchScratch& MatchScratch::operator=(MatchScratch&&) noexcept = default;

pcre2_match_data* MatchScratch::Get(std::uint32_t pairs) {
  if (!holder_) holder_ = std::make_unique<Holder>();
  if (!holder_->data || pcre2_get_ovector_count(holder_->data.get()) < pairs) {
    holder_->data.reset(pcre2_match_data_create(pairs, nullptr));
  }
  return holder_->data.get();
}

void CompiledRegex::CodeFree::operator()(pcre2_code* code) const { pcre2_code_free(code); }

CompiledRegex::CompiledRegex(std::unique_ptr<pcre2_code, CodeFree> code, int groupCount, bool jit)
    : code_(std::move(code)), groupCount_(groupCount), jit_(jit) {}
CompiledRegex::CompiledRegex(CompiledRegex&&) noexcept = default;
CompiledRegex& CompiledRegex::operator=(CompiledRegex&&) noexcept = default;
CompiledRegex::~CompiledRegex() = default;

std::optional<CompiledRegex> CompiledRegex::Compile(std::u16string_view pattern, bool ignoreCase, bool multiline) {
  const auto translated = TranslatePattern(pattern, ignoreCase, multiline);
  if (!translated) return std::nullopt;
  Pcre2CompileContext context(pcre2_compile_context_create(nullptr));
  if (!context) return std::nullopt;
  pcre2_set_newline(context.get(), PCRE2_NEWLINE_LF);
  int error = 0;
  PCRE2_SIZE errorOffset = 0;
  std::unique_ptr<pcre2_code, CodeFree> code(
      pcre2_compile(reinterpret_cast<PCRE2_SPTR>(translated->pcre2.data()), translated->pcre2.size(),
                    PCRE2_UCP | PCRE2_MATCH_UNSET_BACKREF, &error, &errorOffset,
                    context.get()));
  if (!code) return std::nullopt;
  // Without JIT (not built in, out of memory, or a pattern JIT gets wrong) the interpreter runs
  // the same pattern.
  const bool jit = !translated->caselessBackReference && pcre2_jit_compile(code.get(), PCRE2_JIT_COMPLETE) == 0;
  return CompiledRegex(std::move(code), translated->groupCount, jit);
}

std::optional<MatchList> CompiledRegex::Run(std::u16string_view subject, bool global, MatchScratch& scratch) const {
  if (subject.size() > kMaxSubjectUnits) return std::nullopt;
  pcre2_match_context* context = ThreadMatchContext();
  const auto pairs = static_cast<std::uint32_t>(groupCount_) + 1;
  pcre2_match_data* data = scratch.Get(pairs);
  if (!context || !data) return std::nullopt;
  static constexpr char16_t kEmpty[1] = {0};
  const auto* units = reinterpret_cast<PCRE2_SPTR>(subject.empty() ? kEmpty : subject.data());
  MatchList matches(groupCount_);
  std::vector<std::uint32_t> spans(2 * pairs);
  std::size_t start = 0;
  while (start <= subject.size()) {
    // The JIT entry skips the interpreter's argument checks, which a page's thousands of calls feel.
    const int rc = (jit_ ? pcre2_jit_match : pcre2_match)(code_.get(), units, subject.size(), start, 0, data, context);
    if (rc == PCRE2_ERROR_NOMATCH) break;
    if (rc <= 0) {
      // A limit (a hostile page can make the lazy parts of a pattern try every later block from
      // every earlier one): what was found before this start stays, the rest is given up.
      matches.MarkIncomplete();
      break;
    }
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data);
    for (std::uint32_t k = 0; k < 2 * pairs; ++k) {
      // Groups beyond the last one that matched are unset; pcre2_match leaves them PCRE2_UNSET.
      spans[k] = ovector[k] == PCRE2_UNSET ? MatchList::kUnset : static_cast<std::uint32_t>(ovector[k]);
    }
    matches.Append(spans.data());
    if (!global) break;
    const std::size_t end = ovector[1];
    start = end == ovector[0] ? end + 1 : end;
  }
  return matches;
}

std::optional<std::u16string> ReplaceMatches(std::u16string_view subject, const MatchList& matches,
                                             std::u16string_view replacement) {
  std::u16string out;
  out.reserve(subject.size());
  bool tooLong = false;
  auto append = [&](std::u16string_view part) {
    if (part.size() > kMaxReplacedUnits - out.size()) {
      tooLong = true;
      return;
    }
    out.append(part);
  };
  const int groups = matches.GroupCount();
  std::size_t done = 0;
  auto isDigit = [](char16_t c) { return c >= '0' && c <= '9'; };
  for (std::size_t m = 0; m < matches.Count() && !tooLong; ++m) {
    const std::size_t start = matches.Start(m, 0);
    const std::size_t end = matches.End(m, 0);
    append(subject.substr(done, start - done));
    auto appendGroup = [&](int group) {
      if (matches.IsSet(m, group)) {
        append(subject.substr(matches.Start(m, group), matches.End(m, group) - matches.Start(m, group)));
      }
    };
    for (std::size_t i = 0; i < replacement.size() && !tooLong; ++i) {
      const char16_t c = replacement[i];
      const char16_t next = i + 1 < replacement.size() ? replacement[i + 1] : u'\0';
      if (c != '$' || i + 1 >= replacement.size()) {
        append({&c, 1});
      } else if (next == '$') {
        append(u"$");
        ++i;
      } else if (next == '&') {
        append(subject.substr(start, end - start));
        ++i;
      } else if (next == '`') {
        append(subject.substr(0, start));
        ++i;
      } else if (next == '\'') {
        append(subject.substr(end));
        ++i;
      } else if (isDigit(next)) {
        const int one = next - '0';
        if (i + 2 < replacement.size() && isDigit(replacement[i + 2])) {
          const int two = one * 10 + (replacement[i + 2] - '0');
          if (two >= 1 && two <= groups) {
            appendGroup(two);
            i += 2;
            continue;
          }
        }
        if (one >= 1 && one <= groups) {
          appendGroup(one);
          ++i;
        } else {
          append({&c, 1});  // "$0", or a group the pattern lacks: as written
        }
      } else {
        append({&c, 1});
      }
    }
    done = end;
  }
  append(subject.substr(done));
  if (tooLong) return std::nullopt;
  return out;
}

}  // namespace korvane
