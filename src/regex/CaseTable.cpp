#include "regex/CaseTable.h"

#include <unicode/ustring.h>

#include <cstdint>

namespace korvane {

const CaseTable& CaseTable::Get() {
  static const CaseTable table;
  return table;
}

CaseTable::CaseTable() : canonical_(0x10000), next_(0x10000) {
  for (std::uint32_t u = 0; u < 0x10000; ++u) {
    const auto unit = static_cast<char16_t>(u);
    char16_t canonical = unit;
    // Full upper-casing in the root locale: a unit whose upper case is longer than one unit
    // (ß → SS) keeps itself.
    UChar upper[4];
    UErrorCode status = U_ZERO_ERROR;
    const UChar source[1] = {static_cast<UChar>(unit)};
    const int32_t length = u_strToUpper(upper, 4, source, 1, "", &status);
    if (U_SUCCESS(status) && length == 1 && !(u >= 128 && upper[0] < 128)) canonical = static_cast<char16_t>(upper[0]);
    canonical_[u] = canonical;
  }
  // Rings of units sharing a canonical unit, in ascending order.
  std::vector<std::int32_t> first(0x10000, -1), last(0x10000, -1);
  for (std::uint32_t u = 0; u < 0x10000; ++u) {
    const char16_t c = canonical_[u];
    if (last[c] < 0) {
      first[c] = static_cast<std::int32_t>(u);
    } else {
      next_[static_cast<std::size_t>(last[c])] = static_cast<char16_t>(u);
    }
    last[c] = static_cast<std::int32_t>(u);
  }
  for (std::uint32_t c = 0; c < 0x10000; ++c) {
    if (last[c] >= 0) next_[static_cast<std::size_t>(last[c])] = static_cast<char16_t>(first[c]);
  }
  for (std::uint32_t u = 0; u < 0x10000; ++u) {
    if (next_[u] != u) withVariants_.push_back(static_cast<char16_t>(u));
  }
}

}  // namespace korvane
