// The text codecs on any bytes: no crash, and the properties that must hold whatever the input.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "search/TextCodecs.h"
#include "text/CodePage.h"
#include "text/TextOps.h"

using namespace korvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::string text(UpToZero(input));

  // Every byte encodes to exactly three characters, and decoding gives the bytes back.
  const Text encoded = UrlEncode(text);
  if (encoded.size() != 3 * text.size()) std::abort();
  if (UrlDecode(encoded) != text) std::abort();
  (void)UrlEncode(text, true, true);

  // Decoding never grows a text (without the conversion step).
  if (UrlDecode(text).size() > text.size()) std::abort();
  (void)UrlDecode(text, true);

  // The direct UTF-8 path agrees with the general one.
  if (Utf8To936(text) != WideToMultiByte(kCodePage936, MultiByteToWide(kCodePageUtf8, text))) std::abort();
  const Text local = Utf8ToLocal(text);
  const Text utf8 = LocalToUtf8(local);
  // What 936 holds survives the way back; only U+FFFD (from bytes that were not 936) turns to '?'.
  if (utf8.find("\xEF\xBF\xBD") == std::string::npos && LocalToUtf8(Utf8ToLocal(utf8)) != utf8) std::abort();
  (void)WideToText(TextToWide(text, 936), 65001);
  (void)WideToText(Bytes(input.begin(), input.end()), 936);
  return 0;
}
