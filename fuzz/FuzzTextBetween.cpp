// TextBetween and HeaderValue on any texts: the result lies inside the text.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "http/HeaderValue.h"
#include "http/TextBetween.h"

using namespace korvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const int startPos = static_cast<signed char>(data[0]);
  const bool ignoreCase = data[1] & 1;
  const std::string rest(reinterpret_cast<const char*>(data + 2), size - 2);
  // text \x01 left \x01 right
  const auto a = rest.find('\x01');
  const auto b = a == std::string::npos ? a : rest.find('\x01', a + 1);
  if (b == std::string::npos) return 0;
  const std::string text = rest.substr(0, a), left = rest.substr(a + 1, b - a - 1), right = rest.substr(b + 1);
  const Text between = TextBetween(text, left, right, startPos, ignoreCase);
  if (between.size() > text.size()) std::abort();
  (void)HeaderValue(text);
  return 0;
}
