#include "skinlib/SkinFile.h"

#include <algorithm>
#include <string_view>

namespace korvane {
namespace {

enum Tag : std::uint8_t { kEnd = 0, kName = 1, kStyle = 2, kColour = 3, kStyleSheet = 4, kFont = 5 };
constexpr std::size_t kRecordHead = 3;
constexpr std::size_t kColourBytes = 5;
constexpr std::size_t kMaxRecordValue = 0xFFFF;
constexpr std::size_t kMaxStyleKey = 64;
constexpr int kMinPointSize = 4;
constexpr int kMaxPointSize = 72;

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsUtf8(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
      ++i;
      continue;
    }
    std::size_t extra;
    std::uint32_t cp;
    if (b >= 0xC2 && b <= 0xDF) {
      extra = 1, cp = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
      extra = 2, cp = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      extra = 3, cp = b & 0x07;
    } else {
      return false;
    }
    if (s.size() - i <= extra) return false;
    for (std::size_t k = 1; k <= extra; ++k) {
      const auto c = static_cast<unsigned char>(s[i + k]);
      if ((c & 0xC0) != 0x80) return false;
      cp = cp << 6 | (c & 0x3F);
    }
    if ((extra == 2 && cp < 0x800) || (extra == 3 && cp < 0x10000) || cp > 0x10FFFF ||
        (cp >= 0xD800 && cp <= 0xDFFF))
      return false;
    i += extra + 1;
  }
  return true;
}

// A style sheet may hold line breaks and tabs; other texts hold no control character at all.
bool IsCleanText(std::string_view s, bool allowLayout) {
  if (!IsUtf8(s)) return false;
  return std::none_of(s.begin(), s.end(), [allowLayout](char ch) {
    const auto c = static_cast<unsigned char>(ch);
    if (allowLayout && (c == '\t' || c == '\n' || c == '\r')) return false;
    return c < 0x20 || c == 0x7F;
  });
}

bool IsStyleKey(std::string_view s) {
  if (s.empty() || s.size() > kMaxStyleKey) return false;
  return std::all_of(s.begin(), s.end(), [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
  });
}

bool IsFamilyName(std::string_view s) {
  return !s.empty() && s.find(',') == std::string_view::npos && IsCleanText(s, false);
}

bool IsPointSize(int size) { return size == 0 || (size >= kMinPointSize && size <= kMaxPointSize); }

std::vector<std::string> SplitFamilies(std::string_view s) {
  std::vector<std::string> out;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = s.find(',', start);
    out.emplace_back(s.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return out;
}

SkinParseResult Fail(SkinParseError error, std::size_t offset) {
  SkinParseResult r;
  r.error = error;
  r.offset = offset;
  return r;
}

void PutRecord(std::vector<unsigned char>& out, Tag tag, std::string_view value) {
  out.push_back(tag);
  out.push_back(static_cast<unsigned char>(value.size() >> 8));
  out.push_back(static_cast<unsigned char>(value.size() & 0xFF));
  out.insert(out.end(), value.begin(), value.end());
}

}  // namespace

SkinParseResult ParseSkinFile(std::span<const unsigned char> bytes) {
  if (bytes.size() > kSkinMaxBytes) return Fail(SkinParseError::TooLarge, 0);
  if (bytes.size() < sizeof kSkinMagic || !std::equal(std::begin(kSkinMagic), std::end(kSkinMagic), bytes.begin()))
    return Fail(SkinParseError::BadHeader, 0);

  SkinParseResult result;
  SkinFile& skin = result.skin;
  bool seenName = false, seenStyle = false, seenSheet = false;
  std::size_t at = sizeof kSkinMagic;
  while (true) {
    if (bytes.size() - at < kRecordHead) return Fail(SkinParseError::Truncated, at);
    const std::uint8_t tag = bytes[at];
    const std::size_t length = std::size_t{bytes[at + 1]} << 8 | bytes[at + 2];
    const std::size_t valueAt = at + kRecordHead;
    if (bytes.size() - valueAt < length) return Fail(SkinParseError::Truncated, at);
    const auto value = bytes.subspan(valueAt, length);
    const std::string_view text(reinterpret_cast<const char*>(value.data()), value.size());

    switch (tag) {
      case kEnd:
        if (length != 0) return Fail(SkinParseError::BadRecord, at);
        if (valueAt != bytes.size()) return Fail(SkinParseError::TrailingBytes, valueAt);
        return result;
      case kName:
        if (seenName) return Fail(SkinParseError::BadRecord, at);
        if (!IsCleanText(text, false)) return Fail(SkinParseError::BadText, at);
        skin.name = text;
        seenName = true;
        break;
      case kStyle:
        if (seenStyle || !IsStyleKey(text)) return Fail(SkinParseError::BadRecord, at);
        skin.style = text;
        seenStyle = true;
        break;
      case kColour:
        if (length != kColourBytes || value[0] >= kSkinColourGroupCount || value[1] >= kSkinColourRoleCount)
          return Fail(SkinParseError::BadRecord, at);
        skin.colours.push_back({static_cast<SkinColourGroup>(value[0]), static_cast<SkinColourRole>(value[1]),
                                value[2], value[3], value[4]});
        break;
      case kStyleSheet:
        if (seenSheet) return Fail(SkinParseError::BadRecord, at);
        if (!IsCleanText(text, true)) return Fail(SkinParseError::BadText, at);
        skin.styleSheet = text;
        seenSheet = true;
        break;
      case kFont: {
        if (skin.font || length < 2 || !IsPointSize(value[0])) return Fail(SkinParseError::BadRecord, at);
        const std::string_view families = text.substr(1);
        if (!IsUtf8(families)) return Fail(SkinParseError::BadText, at);
        SkinFont font{value[0], SplitFamilies(families)};
        if (!std::all_of(font.families.begin(), font.families.end(), IsFamilyName))
          return Fail(SkinParseError::BadText, at);
        skin.font = std::move(font);
        break;
      }
      default:
        break;  // a record of a later format revision
    }
    at = valueAt + length;
  }
}

std::vector<unsigned char> WriteSkinFile(const SkinFile& skin) {
  std::vector<unsigned char> out(std::begin(kSkinMagic), std::end(kSkinMagic));
  if (!skin.name.empty()) {
    if (skin.name.size() > kMaxRecordValue || !IsCleanText(skin.name, false)) return {};
    PutRecord(out, kName, skin.name);
  }
  if (!skin.style.empty()) {
    if (!IsStyleKey(skin.style)) return {};
    PutRecord(out, kStyle, skin.style);
  }
  for (const SkinColour& c : skin.colours) {
    if (static_cast<int>(c.group) >= kSkinColourGroupCount || static_cast<int>(c.role) >= kSkinColourRoleCount)
      return {};
    const unsigned char v[kColourBytes] = {static_cast<unsigned char>(c.group), static_cast<unsigned char>(c.role),
                                           c.red, c.green, c.blue};
    PutRecord(out, kColour, std::string_view(reinterpret_cast<const char*>(v), sizeof v));
  }
  if (skin.font) {
    if (!IsPointSize(skin.font->pointSize) || skin.font->families.empty() ||
        !std::all_of(skin.font->families.begin(), skin.font->families.end(), IsFamilyName))
      return {};
    std::string value(1, static_cast<char>(skin.font->pointSize));
    for (std::size_t i = 0; i < skin.font->families.size(); ++i) value += (i ? "," : "") + skin.font->families[i];
    if (value.size() > kMaxRecordValue) return {};
    PutRecord(out, kFont, value);
  }
  if (!skin.styleSheet.empty()) {
    if (skin.styleSheet.size() > kMaxRecordValue || !IsCleanText(skin.styleSheet, true)) return {};
    PutRecord(out, kStyleSheet, skin.styleSheet);
  }
  PutRecord(out, kEnd, {});
  if (out.size() > kSkinMaxBytes) return {};
  return out;
}

}  // namespace korvane
