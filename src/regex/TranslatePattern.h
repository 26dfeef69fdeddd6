#pragma once
// The system's pattern language (ECMAScript style, on UTF-16 code units) turned into PCRE2
// syntax for the 16-bit library, compiled without PCRE2_UTF and with PCRE2_UCP,
// PCRE2_NEWLINE_LF and PCRE2_MATCH_UNSET_BACKREF.
//
// What the language means, and how it is kept:
// - "." is any unit but a line feed (a carriage return matches): PCRE2's own dot with LF as the
//   only newline.
// - \d \w and \b are ASCII, \s is the ECMAScript white-space set (line terminators and U+FEFF
//   included): written out as explicit classes and look-arounds, since PCRE2_UCP would make
//   PCRE2's own escapes Unicode-wide.
// - Case-insensitive matching folds by CaseTable: every letter and class is written out with its
//   variants, so PCRE2's own caseless folding (which would let k match U+212A) is used only for
//   back references.
// - ^ and $ with multi-line match at line starts and ends, a line ending at LF, CR, U+2028 or
//   U+2029; without it only at the very start and end of the subject.
// - Legacy forms: \1..\9 beyond the group count are octal or literal digits, a "{" or "]" that
//   opens nothing is literal.
// - Repetition is PCRE2's: a repeated group keeps captures from its earlier iterations, and an
//   iteration that matches empty ends the repetition (ECMAScript would clear the captures at each
//   iteration and reject the empty one). Only patterns that repeat a group holding optional
//   captures or an empty alternative can tell.
//
// Refused (the language lacks them): look-behind, named groups, inline option switches and any
// other "(?" form but "(?:", "(?=" and "(?!"; quantifiers on assertions (possessive forms fall
// out as a quantifier with nothing to repeat); a backslash before an ASCII letter that is not
// one of the language's escapes (\A \Z \z \h \e \k \p \G ...); malformed \x, \u and \c;
// repeat counts above 65535; groups nested deeper than 200; anything ECMAScript itself rejects.
#include <optional>
#include <string>
#include <string_view>

namespace korvane {

struct TranslatedPattern {
  std::u16string pcre2;  // PCRE2 syntax
  int groupCount = 0;    // capturing groups
  // A back reference compared without regard to case: PCRE2 10.42's JIT compares its non-ASCII
  // letters exactly in non-UTF mode, so such a pattern must run in the interpreter.
  bool caselessBackReference = false;
};

std::optional<TranslatedPattern> TranslatePattern(std::u16string_view pattern, bool ignoreCase, bool multiline);

}  // namespace korvane
