#pragma once
// The text operations every layer is written in. Positions are 1-based, "not found" is -1,
// lengths count bytes. Searches never start a match on the second byte of a double-byte
// character: character boundaries are taken from the start of the text.
#include <cstdint>
#include <optional>
#include <string_view>

#include "text/Types.h"

namespace korvane {

// Position of the first occurrence of `what` at or after `start` (1 or less: the beginning;
// beyond the end: not found), or -1. An empty `what` gives 1 when the searched part is not empty.
int Find(std::string_view text, std::string_view what, int start = 1, bool ignoreCase = false);

// Position of the last occurrence lying wholly before `start` (left out: the whole text), or -1.
int ReverseFind(std::string_view text, std::string_view what, std::optional<int> start = std::nullopt,
                bool ignoreCase = false);

Text Left(std::string_view text, int n);
Text Right(std::string_view text, int n);
// n bytes from the 1-based `start`; a start outside 1..length or n <= 0 gives an empty text.
Text Mid(std::string_view text, int start, int n);
// From the 1-based `start` to the end.
Text Mid(std::string_view text, int start);

// Every occurrence, left to right and without overlap.
Text Replace(std::string_view text, std::string_view what, std::string_view with = {}, bool ignoreCase = false);

// Cuts at every `separator`. An empty text gives no pieces, empty pieces between separators stay,
// an empty last piece is dropped.
std::vector<Text> Split(std::string_view text, std::string_view separator);

// Spaces are the ASCII space and the full-width space A1 A1; tab, CR and LF are not spaces.
Text Trim(std::string_view text);
Text RemoveAllSpaces(std::string_view text);

// ASCII letters only; the second byte of a double-byte character never changes.
Text ToLower(std::string_view text);
Text ToUpper(std::string_view text);

// Byte by byte: negative, 0 or positive.
int Compare(std::string_view a, std::string_view b);

// Optional leading white space and sign, then decimal digits up to the first other character;
// full-width digits and signs count as ASCII. No digits give 0; values beyond 32 bits saturate.
std::int32_t TextToInt(std::string_view text);
Text IntToText(std::int64_t value);
// Upper-case hexadecimal digits without leading zeros.
Text ByteToHex(unsigned char value);

Bytes TextToBytes(std::string_view text);
// The bytes up to, not including, the first zero byte.
Text BytesToText(const Bytes& bytes);
// A text read as the system reads texts: up to its first zero byte.
std::string_view UpToZero(std::string_view text);

}  // namespace korvane
