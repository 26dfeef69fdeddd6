#pragma once
// The system's basic value types.
#include <cstdint>
#include <string>
#include <vector>

namespace korvane {

// A run of bytes in code page 936 unless a routine says otherwise. Lengths and positions count
// bytes; positions start at 1. A byte of 0x80 or above and the byte after it form one character.
using Text = std::string;

// A counted run of bytes that may hold zero bytes.
using Bytes = std::vector<unsigned char>;

}  // namespace korvane
