#pragma once
#include <climits>
#include <optional>
#include <string_view>

namespace korvane::site {

// ASCII digits only, at least one; a value beyond INT_MAX saturates, since every count the
// site reads is capped further anyway.
inline std::optional<int> ParseDecimal(std::string_view text) {
  if (text.empty()) return std::nullopt;
  long long value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > INT_MAX) value = INT_MAX;
  }
  return static_cast<int>(value);
}

}  // namespace korvane::site
