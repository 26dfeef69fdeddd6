#include "regex/RegexObject.h"

#include <atomic>
#include <limits>
#include <new>
#include <utility>

#include "regex/CompiledRegex.h"
#include "text/CodePage.h"
#include "text/TextOps.h"

namespace korvane {
namespace {

// "#引号" in code page 936.
constexpr std::string_view kQuoteMarker = "#\xD2\xFD\xBA\xC5";

// Subjects beyond this many bytes are refused before conversion (no more units than bytes).
constexpr std::size_t kMaxSubjectBytes = kMaxSubjectUnits;

Text ExpandQuoteMarker(std::string_view pattern) {
  // Exact byte comparison from the start, each replaced occurrence skipped over.
  Text out;
  std::size_t from = 0;
  while (true) {
    const std::size_t at = pattern.find(kQuoteMarker, from);
    if (at == std::string_view::npos) break;
    out.append(pattern.substr(from, at - from));
    out += '"';
    from = at + kQuoteMarker.size();
  }
  out.append(pattern.substr(from));
  return out;
}

// Plain text across the engine's boundary (pattern, replacement, captures): code page 936 without
// the composite check. No zero unit ever gets here (every text is cut at its first zero before
// conversion), so the result needs no cut of its own.
Text WideToLocalPlain(std::u16string_view units) { return WideToGbk936(units); }

}  // namespace

struct RegexObject::Engine {
  std::u16string pattern;
  std::optional<CompiledRegex> regex;  // empty when the pattern was refused
};

// One thread's initialisation count. Objects hold it by a shared pointer, so that a Destroy that
// runs late (or on another thread by mistake) still lowers the count it raised.
struct RegexObject::InitToken {
  std::atomic<int> count{0};
};

RegexObject::RegexObject() : scratch_(std::make_unique<MatchScratch>()) { Initialise(); }

RegexObject::RegexObject(Uninitialised) : scratch_(std::make_unique<MatchScratch>()) {}

RegexObject::~RegexObject() { Destroy(); }

RegexObject::RegexObject(RegexObject&& other) noexcept
    : engine_(std::move(other.engine_)),
      matches_(std::move(other.matches_)),
      units_(std::move(other.units_)),
      unitCount_(std::exchange(other.unitCount_, 0)),
      unitRoom_(std::exchange(other.unitRoom_, 0)),
      localSubject_(std::move(other.localSubject_)),
      scratch_(std::move(other.scratch_)),
      init_(std::move(other.init_)) {}

RegexObject& RegexObject::operator=(RegexObject&& other) noexcept {
  if (this != &other) {
    Destroy();
    engine_ = std::move(other.engine_);
    matches_ = std::move(other.matches_);
    units_ = std::move(other.units_);
    unitCount_ = std::exchange(other.unitCount_, 0);
    unitRoom_ = std::exchange(other.unitRoom_, 0);
    localSubject_ = std::move(other.localSubject_);
    scratch_ = std::move(other.scratch_);
    init_ = std::move(other.init_);
  }
  return *this;
}

const std::shared_ptr<RegexObject::InitToken>& RegexObject::ThisThreadToken() {
  thread_local const std::shared_ptr<InitToken> token = std::make_shared<InitToken>();
  return token;
}

int RegexObject::ThreadInitCount() { return ThisThreadToken()->count.load(); }

void RegexObject::Initialise() {
  init_ = ThisThreadToken();
  init_->count.fetch_add(1);
}

void RegexObject::Destroy() {
  engine_.reset();
  matches_.reset();
  units_.reset();
  unitCount_ = unitRoom_ = 0;
  localSubject_ = Text();
  if (init_) {
    init_->count.fetch_sub(1);
    init_.reset();
  }
}

RegexObject RegexObject::Copy() const {
  RegexObject copy{Uninitialised{}};
  copy.engine_ = engine_;
  copy.matches_ = matches_;
  copy.SetSubject(localSubject_);
  copy.Initialise();
  return copy;
}

bool RegexObject::Create(const Text& pattern, const Text& subject, const CreateOptions& options) {
  // Only allocation can throw here (a subject of many megabytes): it ends as a failed run.
  try {
    return CreateOrThrow(pattern, subject, options);
  } catch (const std::bad_alloc&) {
    engine_.reset();
    matches_.reset();
    units_.reset();
    unitCount_ = unitRoom_ = 0;
    localSubject_ = Text();
    return false;
  }
}

bool RegexObject::CreateOrThrow(const Text& pattern, const Text& subject, const CreateOptions& options) {
  const bool ignoreCase = !options.caseSensitive.value_or(false);
  const bool multiline = options.multiline.value_or(true);
  const bool global = options.global.value_or(true);
  const bool expand = options.expandQuoteMarker.value_or(false);

  engine_.reset();
  matches_.reset();
  auto engine = std::make_shared<Engine>();
  const std::string_view given = UpToZero(pattern);
  engine->pattern = LocalToUtf16(expand ? std::string_view(ExpandQuoteMarker(given)) : given);
  engine->regex = CompiledRegex::Compile(engine->pattern, ignoreCase, multiline);
  engine_ = engine;

  const std::string_view local = UpToZero(subject);
  if (local.size() > kMaxSubjectBytes) {
    SetSubject({});
    return false;
  }
  SetSubject(local);
  if (!engine->regex) return false;
  if (!scratch_) scratch_ = std::make_unique<MatchScratch>();  // moved from
  auto run = engine->regex->Run(Subject(), global, *scratch_);
  if (!run) return false;
  matches_ = std::make_shared<const MatchList>(std::move(*run));
  return matches_->Complete();
}

void RegexObject::SetSubject(std::string_view local) {
  localSubject_.assign(local);
  // No more units than bytes. The room is kept for the next page unless it is far too big.
  if (local.size() > unitRoom_ || unitRoom_ > 4 * local.size() + 4096) {
    units_ = std::make_unique_for_overwrite<char16_t[]>(local.size());
    unitRoom_ = local.size();
  }
  unitCount_ = Gbk936ToWide(localSubject_, units_.get());
}

Text RegexObject::GetPattern() const { return engine_ ? WideToLocalPlain(engine_->pattern) : Text(); }

Text RegexObject::Replace(const Text& replacement) const {
  // After a run cut short the text would be replaced only up to where the run stopped.
  if (!engine_ || !matches_ || !matches_->Complete()) return {};
  try {
    const auto replaced = ReplaceMatches(Subject(), *matches_, LocalToUtf16(replacement));
    return replaced ? WideToLocalPlain(*replaced) : Text();
  } catch (const std::bad_alloc&) {
    return {};
  }
}

int RegexObject::MatchCount() const {
  if (!matches_) return 0;
  const std::size_t count = matches_->Count();
  return count > static_cast<std::size_t>(std::numeric_limits<int>::max()) ? std::numeric_limits<int>::max()
                                                                            : static_cast<int>(count);
}

std::optional<std::u16string_view> RegexObject::Units(int matchIndex, int group, std::size_t* start) const {
  if (!matches_ || matchIndex < 1 || group < 0 || group > matches_->GroupCount()) return std::nullopt;
  const auto match = static_cast<std::size_t>(matchIndex) - 1;
  if (match >= matches_->Count() || !matches_->IsSet(match, group)) return std::nullopt;
  const std::size_t from = matches_->Start(match, group);
  const std::size_t to = matches_->End(match, group);
  if (start) *start = from;
  return Subject().substr(from, to - from);
}

// Positions are exact: the byte offset in the subject as given, counted by reading it as code
// page 936 up to the unit index, the same reading that made the engine's subject.
int RegexObject::BytePosition(std::size_t unitIndex) const {
  const std::size_t bytes = Gbk936BytesForUnits(localSubject_, unitIndex);
  return bytes > static_cast<std::size_t>(std::numeric_limits<int>::max()) ? -2 : static_cast<int>(bytes);
}

Text RegexObject::MatchText(int matchIndex, int* position) const {
  std::size_t start = 0;
  const auto units = Units(matchIndex, 0, &start);
  if (position) *position = units ? BytePosition(start) : -2;
  return units ? Utf16ToLocal(*units) : Text();
}

Text RegexObject::SubmatchText(int matchIndex, int submatchIndex, int* position) const {
  std::size_t start = 0;
  const auto units = submatchIndex >= 1 ? Units(matchIndex, submatchIndex, &start) : std::nullopt;
  if (position) *position = units ? BytePosition(start) : -2;
  return units ? WideToLocalPlain(*units) : Text();
}

int RegexObject::SubmatchCount() const {
  if (!matches_ || matches_->Count() == 0) return 0;
  return matches_->GroupCount();
}

std::u16string LocalToUtf16(std::string_view text) { return Gbk936ToWide(UpToZero(text)); }

Text Utf16ToLocal(std::u16string_view units) {
  const std::size_t zero = units.find(u'\0');
  if (zero != std::u16string_view::npos) units = units.substr(0, zero);
  return Text(UpToZero(WideToMultiByte(kCodePage936, units, true)));
}

}  // namespace korvane
