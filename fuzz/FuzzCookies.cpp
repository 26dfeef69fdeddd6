// Cookie merging and response headers on any texts; the merge's own properties hold.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "http/Cookies.h"
#include "http/ResponseHeaders.h"
#include "text/TextOps.h"

using namespace korvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Texts end at their first zero byte.
  const std::string input(UpToZero(std::string_view(reinterpret_cast<const char*>(data), size)));
  const auto cut = input.find('\n');
  Text oldCookies = input.substr(0, cut);
  Text newCookies = cut == std::string::npos ? Text() : input.substr(cut + 1);
  const Text merged = MergeCookies(&oldCookies, &newCookies);
  if (merged != oldCookies) std::abort();                     // the copy is the merged text
  if (RemoveAllSpaces(newCookies) != newCookies) std::abort(); // the response's spaces are gone
  (void)ResponseCookies(NormaliseSetCookie(input));
  return 0;
}
