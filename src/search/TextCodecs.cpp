#include "search/TextCodecs.h"

#include <array>
#include <cstring>

#include "text/CodePage.h"
#include "text/TextOps.h"

namespace korvane {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

constexpr bool InKeepSet(unsigned char c) {
  return c == '-' || c == '.' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// A digit byte's value: its place in "0123456789ABCDEF" after upper-casing ASCII letters, else -2.
constexpr std::array<int, 256> kDigitValue = [] {
  std::array<int, 256> table{};
  for (auto& v : table) v = -2;
  for (int i = 0; i < 16; ++i) {
    const auto c = static_cast<unsigned char>(kHexDigits[i]);
    table[c] = i;
    if (c >= 'A' && c <= 'F') table[c + ('a' - 'A')] = i;
  }
  return table;
}();

}  // namespace

Text UrlEncode(std::string_view text, bool keepAlnum, bool viaUtf8) {
  text = UpToZero(text);
  if (text.empty()) return {};
  Text utf8;
  if (viaUtf8) {
    utf8 = LocalToUtf8(text);
    text = utf8;
  }
  Text out;
  out.reserve(text.size() * 3);
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (keepAlnum && InKeepSet(c)) {
      out += ch;
    } else {
      out += '%';
      out += kHexDigits[c >> 4];
      out += kHexDigits[c & 0xF];
    }
  }
  return out;
}

Text UrlDecode(std::string_view text, bool toLocal) {
  text = UpToZero(text);
  Text out;
  out.reserve(text.size());
  const std::size_t length = text.size();
  std::size_t i = 0;
  while (i < length) {
    const void* hit = std::memchr(text.data() + i, '%', length - i);
    const std::size_t percent = hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text.data()) : length;
    out.append(text.data() + i, percent - i);
    if (percent == length) break;
    auto digit = [&](std::size_t at) { return at < length ? kDigitValue[static_cast<unsigned char>(text[at])] : 0; };
    const int value = (16 * digit(percent + 1) + digit(percent + 2)) & 0xFF;
    if (value != 0) out += static_cast<char>(value);
    i = percent + 3;
  }
  if (toLocal) return Utf8ToLocal(out);
  return out;
}

// Both go straight through UTF-16: the same result as TextToWide then WideToText, without the
// byte buffer in between (a text holds no zero byte, so no zero unit can cut the buffer short).
Text LocalToUtf8(std::string_view text) {
  return WideToMultiByte(kCodePageUtf8, MultiByteToWide(kCodePage936, UpToZero(text)));
}

Text Utf8ToLocal(std::string_view text) { return Utf8To936(UpToZero(text)); }

// The room is that of the code page actually converted, so every text converts whole.
Bytes TextToWide(std::string_view text, int codePage) {
  text = UpToZero(text);
  if (text.empty()) return {};
  const std::u16string wide = MultiByteToWide(codePage, text);
  if (wide.empty()) return {};
  Bytes out((wide.size() + 1) * 2, 0);
  for (std::size_t i = 0; i < wide.size(); ++i) {
    out[2 * i] = static_cast<unsigned char>(wide[i] & 0xFF);
    out[2 * i + 1] = static_cast<unsigned char>(wide[i] >> 8);
  }
  return out;
}

Text WideToText(const Bytes& wide, int codePage) {
  std::u16string units;
  units.reserve(wide.size() / 2);
  for (std::size_t i = 0; i + 1 < wide.size(); i += 2) {
    const auto unit = static_cast<char16_t>(wide[i] | (wide[i + 1] << 8));
    if (unit == 0) break;
    units.push_back(unit);
  }
  return Text(UpToZero(WideToMultiByte(codePage, units)));
}

}  // namespace korvane
