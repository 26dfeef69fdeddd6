#pragma once
// Writes bytes as a C++ string literal for the build's generated sources. A literal compiles far
// faster than a list of numbers; every byte that is not plain printable ASCII is a three-digit octal
// escape, so that no escape can swallow the character after it.

#include <cstddef>
#include <ostream>
#include <span>

namespace korvane::gen {

inline void WriteByteLiteral(std::ostream& out, std::span<const unsigned char> bytes) {
  constexpr std::size_t kBytesPerLine = 64;
  static const char kOctal[] = "01234567";
  out << "    \"";
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i && i % kBytesPerLine == 0) out << "\"\n    \"";
    const unsigned char b = bytes[i];
    if (b >= 0x20 && b < 0x7F && b != '"' && b != '\\' && b != '?') {
      out << static_cast<char>(b);
    } else {
      out << '\\' << kOctal[b >> 6] << kOctal[(b >> 3) & 7] << kOctal[b & 7];
    }
  }
  out << '"';
}

}  // namespace korvane::gen
