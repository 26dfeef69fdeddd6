#include "regex/TranslatePattern.h"

#include <algorithm>
#include <array>
#include <bit>
#include <vector>
#include <cstdint>
#include <memory>

#include "regex/CaseTable.h"

namespace korvane {
namespace {

constexpr int kMaxNesting = 200;
constexpr std::uint32_t kMaxRepeat = 65535;  // PCRE2's own ceiling
constexpr std::uint32_t kUnbounded = UINT32_MAX;

// A set of UTF-16 units, scanned a word at a time when written out.
class UnitSet {
 public:
  void Set(std::uint32_t u) { words_[u >> 6] |= std::uint64_t{1} << (u & 63); }
  bool Test(std::uint32_t u) const { return (words_[u >> 6] >> (u & 63)) & 1; }
  void SetRange(std::uint32_t first, std::uint32_t last) {
    for (std::uint32_t u = first; u <= last; ++u) Set(u);
  }
  bool Empty() const {
    for (const auto w : words_) {
      if (w) return false;
    }
    return true;
  }
  void Flip() {
    for (auto& w : words_) w = ~w;
  }
  UnitSet& operator|=(const UnitSet& other) {
    for (std::size_t i = 0; i < words_.size(); ++i) words_[i] |= other.words_[i];
    return *this;
  }
  // Calls f(first, last) for every run of members, ascending.
  template <typename F>
  void ForEachRange(F&& f) const {
    std::uint32_t u = 0;
    while (u < 0x10000) {
      u = NextWith(u, true);
      if (u >= 0x10000) break;
      const std::uint32_t end = NextWith(u, false);
      f(u, end - 1);
      u = end;
    }
  }

 private:
  // The first unit at or after `from` whose membership is `member`, or 0x10000.
  std::uint32_t NextWith(std::uint32_t from, bool member) const {
    std::size_t i = from >> 6;
    std::uint64_t w = (member ? words_[i] : ~words_[i]) & (~std::uint64_t{0} << (from & 63));
    while (w == 0) {
      if (++i == words_.size()) return 0x10000;
      w = member ? words_[i] : ~words_[i];
    }
    return static_cast<std::uint32_t>(i * 64 + static_cast<std::size_t>(std::countr_zero(w)));
  }
  std::array<std::uint64_t, 1024> words_{};
};

// The white-space set of \s: ECMAScript's WhiteSpace and LineTerminator.
void AddSpaces(UnitSet& set) {
  for (char16_t u : {u'\t', u'\n', u'\v', u'\f', u'\r', u' ', u'\u00A0', u'\u1680', u'\u2028', u'\u2029', u'\u202F',
                     u'\u205F', u'\u3000', u'\uFEFF'}) {
    set.Set(u);
  }
  for (char16_t u = 0x2000; u <= 0x200A; ++u) set.Set(u);
}

void AddDigits(UnitSet& set) {
  for (char16_t u = '0'; u <= '9'; ++u) set.Set(u);
}

void AddWordUnits(UnitSet& set) {
  AddDigits(set);
  for (char16_t u = 'A'; u <= 'Z'; ++u) set.Set(u);
  for (char16_t u = 'a'; u <= 'z'; ++u) set.Set(u);
  set.Set('_');
}

bool IsClassEscape(char16_t letter) {
  return letter == 'd' || letter == 'D' || letter == 's' || letter == 'S' || letter == 'w' || letter == 'W';
}

// \d \D \s \S \w \W as a set; false for any other letter.
bool AddClassEscape(char16_t letter, UnitSet& set) {
  UnitSet part;
  switch (letter) {
    case 'd': case 'D': AddDigits(part); break;
    case 's': case 'S': AddSpaces(part); break;
    case 'w': case 'W': AddWordUnits(part); break;
    default: return false;
  }
  if (letter == 'D' || letter == 'S' || letter == 'W') part.Flip();
  set |= part;
  return true;
}

bool IsDigit(char16_t c) { return c >= '0' && c <= '9'; }
bool IsOctal(char16_t c) { return c >= '0' && c <= '7'; }
bool IsAsciiLetter(char16_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsAsciiAlnum(char16_t c) { return IsDigit(c) || IsAsciiLetter(c); }

int HexValue(char16_t c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

void AppendHex(std::u16string& out, std::uint32_t value) {
  static constexpr char kDigits[] = "0123456789abcdef";
  out += u"\\x{";
  bool started = false;
  for (int shift = 12; shift >= 0; shift -= 4) {
    const std::uint32_t digit = (value >> shift) & 0xF;
    if (digit || started || shift == 0) {
      out += static_cast<char16_t>(kDigits[digit]);
      started = true;
    }
  }
  out += u'}';
}

void AppendNumber(std::u16string& out, std::uint32_t value) {
  std::u16string digits;
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + value % 10));
    value /= 10;
  } while (value);
  out += digits;
}

// ECMAScript-style counting of capturing groups, for telling back references from octal escapes.
int CountGroups(std::u16string_view p) {
  int count = 0;
  bool inClass = false;
  for (std::size_t i = 0; i < p.size(); ++i) {
    const char16_t c = p[i];
    if (c == '\\') {
      ++i;
    } else if (inClass) {
      if (c == ']') inClass = false;
    } else if (c == '[') {
      inClass = true;
    } else if (c == '(' && !(i + 1 < p.size() && p[i + 1] == '?')) {
      ++count;
    }
  }
  return count;
}

class Translator {
 public:
  Translator(std::u16string_view pattern, bool ignoreCase, bool multiline)
      : p_(pattern), ignoreCase_(ignoreCase), multiline_(multiline), groups_(CountGroups(pattern)) {}

  std::optional<TranslatedPattern> Run() {
    if (!Disjunction() || at_ != p_.size()) return std::nullopt;  // a ")" with nothing to close
    return TranslatedPattern{std::move(out_), groups_, caselessBackReference_};
  }

 private:
  bool AtEnd() const { return at_ >= p_.size(); }
  char16_t Peek(std::size_t ahead = 0) const { return at_ + ahead < p_.size() ? p_[at_ + ahead] : u'\0'; }
  bool Has(std::size_t ahead) const { return at_ + ahead < p_.size(); }

  bool Disjunction() {
    while (true) {
      while (!AtEnd() && Peek() != '|' && Peek() != ')') {
        if (!Term()) return false;
      }
      if (AtEnd() || Peek() == ')') return true;
      out_ += u'|';
      ++at_;
    }
  }

  bool Term() {
    const char16_t c = Peek();
    switch (c) {
      case '^':
        ++at_;
        out_ += multiline_ ? u"(?<![^\\x{a}\\x{d}\\x{2028}\\x{2029}])" : u"^";
        return !QuantifierAhead();
      case '$':
        ++at_;
        out_ += multiline_ ? u"(?![^\\x{a}\\x{d}\\x{2028}\\x{2029}])" : u"\\z";
        return !QuantifierAhead();
      case '\\':
        if (Peek(1) == 'b' || Peek(1) == 'B') {
          // ASCII word boundaries; PCRE2's own \b would follow PCRE2_UCP.
          const bool boundary = Peek(1) == 'b';
          at_ += 2;
          out_ += boundary ? u"(?:(?<=[0-9A-Z_a-z])(?![0-9A-Z_a-z])|(?<![0-9A-Z_a-z])(?=[0-9A-Z_a-z]))"
                           : u"(?:(?<=[0-9A-Z_a-z])(?=[0-9A-Z_a-z])|(?<![0-9A-Z_a-z])(?![0-9A-Z_a-z]))";
          return !QuantifierAhead();
        }
        return AtomEscape() && Quantifier();
      case '(':
        return Group();
      case '[':
        return CharacterClass() && Quantifier();
      case '.':
        ++at_;
        out_ += u'.';
        return Quantifier();
      case '*': case '+': case '?':
        return false;  // nothing to repeat
      case '{':
        if (QuantifierAhead()) return false;
        ++at_;
        Literal(c);
        return Quantifier();
      default:
        ++at_;
        Literal(c);
        return Quantifier();
    }
  }

  bool Group() {
    ++at_;
    bool lookahead = false;
    if (Peek() == '?') {
      const char16_t kind = Peek(1);
      if (kind != ':' && kind != '=' && kind != '!') return false;
      lookahead = kind != ':';
      out_ += u"(?";
      out_ += kind;
      at_ += 2;
    } else {
      out_ += u'(';
    }
    if (++depth_ > kMaxNesting) return false;
    if (!Disjunction() || AtEnd() || Peek() != ')') return false;
    --depth_;
    ++at_;
    out_ += u')';
    return lookahead ? !QuantifierAhead() : Quantifier();
  }

  // Reads a quantifier at the current place into min/max/lazy without consuming; returns its length, 0 if none.
  std::size_t ReadQuantifier(std::uint32_t& min, std::uint32_t& max, bool& valid) const {
    valid = true;
    std::size_t i = at_;
    const char16_t c = i < p_.size() ? p_[i] : u'\0';
    if (c == '*' || c == '+' || c == '?') {
      min = c == '+' ? 1 : 0;
      max = c == '?' ? 1 : kUnbounded;
      return 1;
    }
    if (c != '{') return 0;
    ++i;
    auto number = [&](std::uint32_t& value) {
      const std::size_t start = i;
      std::uint64_t v = 0;
      while (i < p_.size() && IsDigit(p_[i])) {
        v = v * 10 + (p_[i] - '0');
        if (v > kMaxRepeat) v = kMaxRepeat + 1;  // keep reading; refused below
        ++i;
      }
      value = static_cast<std::uint32_t>(v);
      return i > start;
    };
    if (!number(min)) return 0;
    max = min;
    if (i < p_.size() && p_[i] == ',') {
      ++i;
      if (!number(max)) max = kUnbounded;
    }
    if (i >= p_.size() || p_[i] != '}') return 0;
    ++i;
    if (min > kMaxRepeat || (max != kUnbounded && max > kMaxRepeat) || (max != kUnbounded && max < min)) valid = false;
    return i - at_;
  }

  bool QuantifierAhead() const {
    std::uint32_t min, max;
    bool valid;
    return ReadQuantifier(min, max, valid) > 0;
  }

  // An optional quantifier after an atom.
  bool Quantifier() {
    std::uint32_t min = 0, max = 0;
    bool valid = true;
    const std::size_t length = ReadQuantifier(min, max, valid);
    if (length == 0) return true;
    if (!valid) return false;
    const char16_t c = p_[at_];
    at_ += length;
    if (c == '*' || c == '+' || c == '?') {
      out_ += c;
    } else {
      out_ += u'{';
      AppendNumber(out_, min);
      if (max != min) {
        out_ += u',';
        if (max != kUnbounded) AppendNumber(out_, max);
      }
      out_ += u'}';
    }
    if (Peek() == '?' && !AtEnd()) {
      out_ += u'?';
      ++at_;
    }
    return true;
  }

  // One unit as a PCRE2 literal; with case-insensitive matching, a unit with variants becomes
  // the class of its variants.
  void Literal(char16_t unit) {
    const CaseTable& table = CaseTable::Get();
    if (ignoreCase_ && table.HasVariants(unit)) {
      std::vector<char16_t> ring{unit};
      for (char16_t v = table.NextVariant(unit); v != unit; v = table.NextVariant(v)) ring.push_back(v);
      std::sort(ring.begin(), ring.end());
      out_ += u'[';
      for (const char16_t v : ring) AppendHex(out_, v);
      out_ += u']';
      return;
    }
    if (IsAsciiAlnum(unit)) {
      out_ += unit;
    } else {
      AppendHex(out_, unit);
    }
  }

  void EmitSet(UnitSet& set, bool negate) {
    if (ignoreCase_) {
      const CaseTable& table = CaseTable::Get();
      for (const char16_t u : table.UnitsWithVariants()) {
        if (!set.Test(u)) continue;
        for (char16_t v = table.NextVariant(u); v != u; v = table.NextVariant(v)) set.Set(v);
      }
    }
    if (negate) set.Flip();
    if (set.Empty()) {
      // No unit is above 0xFFFF; PCRE2 10.42 mishandles a repeated empty class "[]".
      out_ += u"[^\\x{0}-\\x{ffff}]";
      return;
    }
    out_ += u'[';
    set.ForEachRange([&](std::uint32_t first, std::uint32_t last) {
      AppendHex(out_, first);
      if (last > first + 1) out_ += u'-';
      if (last > first) AppendHex(out_, last);
    });
    out_ += u']';
  }

  // A legacy octal escape whose first digit is at the current place: up to three digits, at most 0377.
  char16_t OctalEscape() {
    std::uint32_t value = p_[at_++] - '0';
    if (!AtEnd() && IsOctal(Peek())) {
      const bool threeDigits = value <= 3;
      value = value * 8 + (p_[at_++] - '0');
      if (threeDigits && !AtEnd() && IsOctal(Peek())) value = value * 8 + (p_[at_++] - '0');
    }
    return static_cast<char16_t>(value);
  }

  // The escapes shared by atoms and classes: control, hexadecimal, Unicode and identity escapes.
  // The backslash is consumed; the current place is the escape's letter. False when refused.
  bool CharacterEscape(char16_t& unit) {
    const char16_t c = p_[at_];
    switch (c) {
      case 'f': unit = u'\f'; ++at_; return true;
      case 'n': unit = u'\n'; ++at_; return true;
      case 'r': unit = u'\r'; ++at_; return true;
      case 't': unit = u'\t'; ++at_; return true;
      case 'v': unit = u'\v'; ++at_; return true;
      case 'c':
        if (!IsAsciiLetter(Peek(1))) return false;
        unit = static_cast<char16_t>(Peek(1) % 32);
        at_ += 2;
        return true;
      case 'x':
      case 'u': {
        const std::size_t digits = c == 'x' ? 2 : 4;
        std::uint32_t value = 0;
        for (std::size_t k = 1; k <= digits; ++k) {
          const int h = HexValue(Peek(k));
          if (!Has(k) || h < 0) return false;
          value = value * 16 + static_cast<std::uint32_t>(h);
        }
        unit = static_cast<char16_t>(value);
        at_ += digits + 1;
        return true;
      }
      default:
        if (IsAsciiLetter(c)) return false;  // not in the language (\A \Z \h \e \k \p ...)
        unit = c;                             // identity escape: \. \* \/ \\ ...
        ++at_;
        return true;
    }
  }

  bool AtomEscape() {
    ++at_;  // the backslash
    if (AtEnd()) return false;
    const char16_t c = Peek();
    if (IsClassEscape(c)) {
      auto set = std::make_unique<UnitSet>();
      AddClassEscape(c, *set);
      ++at_;
      EmitSet(*set, false);
      return true;
    }
    if (c >= '1' && c <= '9') {
      // A back reference when the number names a group of the pattern, else a legacy escape.
      std::size_t i = at_;
      std::uint64_t number = 0;
      while (i < p_.size() && IsDigit(p_[i])) {
        number = number * 10 + (p_[i] - '0');
        if (number > 100000) number = 100000;
        ++i;
      }
      if (number <= static_cast<std::uint64_t>(groups_)) {
        at_ = i;
        // Unset groups match empty (PCRE2_MATCH_UNSET_BACKREF); PCRE2's caseless comparison
        // is the one place its own folding is used.
        caselessBackReference_ = caselessBackReference_ || ignoreCase_;
        out_ += ignoreCase_ ? u"(?i:\\g{" : u"\\g{";
        AppendNumber(out_, static_cast<std::uint32_t>(number));
        out_ += ignoreCase_ ? u"})" : u"}";
        return true;
      }
      if (c == '8' || c == '9') {
        ++at_;
        Literal(c);
        return true;
      }
      Literal(OctalEscape());
      return true;
    }
    if (c == '0') {
      Literal(OctalEscape());
      return true;
    }
    char16_t unit = 0;
    if (!CharacterEscape(unit)) return false;
    Literal(unit);
    return true;
  }

  // One member of a class: a unit, or (for \d \s \w and negations) a set added to `set`.
  bool ClassAtom(UnitSet& set, bool& isSet, char16_t& unit) {
    isSet = false;
    const char16_t c = p_[at_];
    if (c != '\\') {
      unit = c;
      ++at_;
      return true;
    }
    ++at_;
    if (AtEnd()) return false;
    const char16_t e = Peek();
    if (AddClassEscape(e, set)) {
      ++at_;
      isSet = true;
      return true;
    }
    if (e == 'b') {
      unit = u'\b';
      ++at_;
      return true;
    }
    if (IsOctal(e)) {
      unit = OctalEscape();
      return true;
    }
    if (e == '8' || e == '9') {
      unit = e;
      ++at_;
      return true;
    }
    if (e == 'c' && (IsDigit(Peek(1)) || Peek(1) == '_')) {
      unit = static_cast<char16_t>(Peek(1) % 32);
      at_ += 2;
      return true;
    }
    return CharacterEscape(unit);
  }

  bool CharacterClass() {
    ++at_;  // "["
    bool negate = false;
    if (Peek() == '^' && !AtEnd()) {
      negate = true;
      ++at_;
    }
    auto set = std::make_unique<UnitSet>();
    while (true) {
      if (AtEnd()) return false;
      if (Peek() == ']') break;
      bool firstIsSet = false;
      char16_t first = 0;
      if (!ClassAtom(*set, firstIsSet, first)) return false;
      if (Peek() == '-' && Has(1) && Peek(1) != ']') {
        ++at_;
        bool secondIsSet = false;
        char16_t second = 0;
        if (!ClassAtom(*set, secondIsSet, second)) return false;
        if (firstIsSet || secondIsSet) {
          // A class escape at either end makes the dash a plain member.
          if (!firstIsSet) set->Set(first);
          if (!secondIsSet) set->Set(second);
          set->Set('-');
          continue;
        }
        if (first > second) return false;  // range out of order
        set->SetRange(first, second);
        continue;
      }
      if (!firstIsSet) set->Set(first);
    }
    ++at_;  // "]"
    EmitSet(*set, negate);
    return true;
  }

  std::u16string_view p_;
  bool ignoreCase_;
  bool multiline_;
  int groups_;
  std::size_t at_ = 0;
  int depth_ = 0;
  bool caselessBackReference_ = false;
  std::u16string out_;
};

}  // namespace

std::optional<TranslatedPattern> TranslatePattern(std::u16string_view pattern, bool ignoreCase, bool multiline) {
  return Translator(pattern, ignoreCase, multiline).Run();
}

}  // namespace korvane
