#pragma once
// Skin files: reading and writing, without Qt, so that the build's generator, the tests and a
// fuzzer can use the same code as the library.
//
// A skin file is ".SHE" 00 03 (magic, format 3), then records, each tag (1 byte), length (2 bytes,
// big-endian), value, closed by the end record 00 00 00 with nothing after it. Tags: 01 name,
// 02 style key (letters, digits, '-', '_'), 03 colour (group, role, red, green, blue), 04 style
// sheet, 05 font (point size, 0 keeping the size, then family names separated by commas). Texts
// are UTF-8. Unknown tags are skipped; a repeated name, style, sheet or font, a record running past
// the end or anything after the end record make the whole file unreadable.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace korvane {

inline constexpr unsigned char kSkinMagic[6] = {0x2E, 0x53, 0x48, 0x45, 0x00, 0x03};
inline constexpr std::size_t kSkinMaxBytes = 1 << 20;

enum class SkinColourGroup : std::uint8_t { All = 0, Active = 1, Inactive = 2, Disabled = 3 };
inline constexpr int kSkinColourGroupCount = 4;

// Numbered by the file format, not by any toolkit, so that files stay readable across versions.
enum class SkinColourRole : std::uint8_t {
  Window, WindowText, Base, AlternateBase, Text, Button, ButtonText, BrightText, Light, Midlight, Mid, Dark,
  Shadow, Highlight, HighlightedText, Link, LinkVisited, ToolTipBase, ToolTipText, PlaceholderText,
};
inline constexpr int kSkinColourRoleCount = 20;

struct SkinColour {
  SkinColourGroup group = SkinColourGroup::All;
  SkinColourRole role = SkinColourRole::Window;
  std::uint8_t red = 0, green = 0, blue = 0;
  bool operator==(const SkinColour&) const = default;
};

struct SkinFont {
  int pointSize = 0;  // 0 keeps the application's size
  std::vector<std::string> families;
  bool operator==(const SkinFont&) const = default;
};

struct SkinFile {
  std::string name;
  std::string style;  // empty: keep the current style
  std::vector<SkinColour> colours;  // in file order; a later colour for the same group and role wins
  std::optional<SkinFont> font;
  std::string styleSheet;  // empty: no style sheet
  bool operator==(const SkinFile&) const = default;
};

enum class SkinParseError {
  None,
  TooLarge,       // more than kSkinMaxBytes
  BadHeader,      // not ".SHE" 00 03
  Truncated,      // a record or the end record is missing bytes
  BadRecord,      // wrong length, out-of-range value, or a repeated record
  BadText,        // a text that is not UTF-8, or holds a control character
  TrailingBytes,  // bytes after the end record
};

struct SkinParseResult {
  SkinFile skin;
  SkinParseError error = SkinParseError::None;
  std::size_t offset = 0;  // where the fault was found
  bool ok() const { return error == SkinParseError::None; }
};

// Reads a whole skin file. Every read is bounds-checked; on failure `skin` is left empty.
SkinParseResult ParseSkinFile(std::span<const unsigned char> bytes);

// Writes `skin` in the format above; empty when a field cannot be written (a text too long for its
// record, an invalid style key or text, a point size above 255).
std::vector<unsigned char> WriteSkinFile(const SkinFile& skin);

}  // namespace korvane
