#include "http/TextBetween.h"

#include "text/TextOps.h"

namespace korvane {
namespace {
// "#引号" in code page 936.
constexpr std::string_view kQuoteMark = "#\xD2\xFD\xBA\xC5";
}  // namespace

Text TextBetween(std::string_view text, std::string_view leftMark, std::string_view rightMark,
                 int startPos, bool ignoreCase) {
  const Text left = Replace(leftMark, kQuoteMark, "\"");
  const Text right = Replace(rightMark, kQuoteMark, "\"");
  const int leftPos = Find(text, left, startPos, ignoreCase);
  if (leftPos < 0) return {};
  const int from = leftPos + static_cast<int>(left.size());
  const int rightPos = Find(text, right, from, ignoreCase);
  if (rightPos < 0) return {};
  return Mid(text, from, rightPos - from);
}

}  // namespace korvane
