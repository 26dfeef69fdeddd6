#pragma once
// Conversions between multibyte texts and UTF-16, standing in for the platform's
// MultiByteToWideChar and WideCharToMultiByte. Code pages: 936 (GBK, with the platform's own
// table: 0x80 is the euro sign, the user-defined area maps to private use), 65001 (UTF-8) and
// 0 (the ANSI code page, which is 936 here).
//
// Bad input converts the way the platform converts it:
// - UTF-8: each maximal invalid subsequence becomes one U+FFFD; a lone surrogate written as
//   UTF-8 becomes EF BF BD.
// - 936 read: a byte sequence that is not valid 936 becomes U+FFFD (a lone trailing lead byte too).
// - 936 written: each character without a mapping becomes one '?': a surrogate pair (936 has
//   nothing outside the BMP) and a lone surrogate alike.
#include <string>
#include <string_view>

namespace korvane {

inline constexpr int kCodePageAnsi = 0;
inline constexpr int kCodePage936 = 936;
inline constexpr int kCodePageUtf8 = 65001;

// An unsupported code page gives an empty result.
std::u16string MultiByteToWide(int codePage, std::string_view text);

// `compositeCheck`: a base character followed by combining marks becomes the precomposed character
// where code page 936 has one (the platform's WC_COMPOSITECHECK); ignored for UTF-8.
std::string WideToMultiByte(int codePage, std::u16string_view wide, bool compositeCheck = false);

// UTF-8 straight to code page 936: the same result as WideToMultiByte(936, MultiByteToWide(65001,
// text)), several times faster on pages that are mostly ASCII.
std::string Utf8To936(std::string_view text);

// Code page 936 straight to UTF-16 by table: the same result as MultiByteToWide(936, text),
// bad bytes included, several times faster.
std::u16string Gbk936ToWide(std::string_view text);
// The same into `out`, which must have room for text.size() units; returns the units written.
std::size_t Gbk936ToWide(std::string_view text, char16_t* out);

// UTF-16 to code page 936 without the composite check: the same result as
// WideToMultiByte(936, wide), made for many short texts (no slack in the result).
std::string WideToGbk936(std::u16string_view wide);

// How many bytes of `text` read as code page 936 give its first `units` UTF-16 units (the
// whole text when it gives fewer): the byte offset of a unit index, by the same reading.
std::size_t Gbk936BytesForUnits(std::string_view text, std::size_t units);

}  // namespace korvane
