#include "http/HeaderValue.h"

#include "text/TextOps.h"

namespace korvane {

Text HeaderValue(std::string_view text) {
  const int colon = Find(text, ":");
  if (colon < 0) return {};
  return Trim(Mid(text, colon + 1));
}

}  // namespace korvane
