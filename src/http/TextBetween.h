#pragma once
#include <string_view>

#include "text/Types.h"

namespace korvane {

// The text strictly between the first `leftMark` at or after `startPos` (1-based; 1 or less:
// the beginning) and the first `rightMark` after it; empty when either is missing or the two
// touch. A "#引号" in either mark stands for a double quote, so that callers can write one.
// `ignoreCase` folds ASCII letters in both searches; matches start on whole characters only.
Text TextBetween(std::string_view text, std::string_view leftMark, std::string_view rightMark,
                 int startPos = 1, bool ignoreCase = false);

}  // namespace korvane
