#pragma once
// Case-insensitive matching of the pattern language: two UTF-16 units match regardless of case
// when both upper-case to the same single unit, except that a unit of 128 or above never
// upper-cases to ASCII (so U+017F and U+212A stay apart from s and k). The variants of a unit
// are all units that upper-case as it does.
#include <vector>

namespace korvane {

class CaseTable {
 public:
  // Built once per process, on first use; safe from any thread.
  static const CaseTable& Get();

  char16_t Canonical(char16_t unit) const { return canonical_[unit]; }
  // The next unit of the same variant set, in a ring; the unit itself when it has no variants.
  char16_t NextVariant(char16_t unit) const { return next_[unit]; }
  bool HasVariants(char16_t unit) const { return next_[unit] != unit; }
  // Every unit that has variants, ascending.
  const std::vector<char16_t>& UnitsWithVariants() const { return withVariants_; }

 private:
  CaseTable();
  std::vector<char16_t> canonical_;
  std::vector<char16_t> next_;
  std::vector<char16_t> withVariants_;
};

}  // namespace korvane
