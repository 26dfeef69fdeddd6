#include "skinlib/SkinFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <random>
#include <string>
#include <vector>

namespace korvane {
namespace {

using Bytes = std::vector<unsigned char>;

Bytes Header() { return Bytes(std::begin(kSkinMagic), std::end(kSkinMagic)); }

void Put(Bytes& out, std::uint8_t tag, const std::string& value) {
  out.push_back(tag);
  out.push_back(static_cast<unsigned char>(value.size() >> 8));
  out.push_back(static_cast<unsigned char>(value.size() & 0xFF));
  out.insert(out.end(), value.begin(), value.end());
}

// A file made of the header, the given records and the end record.
Bytes File(std::initializer_list<std::pair<std::uint8_t, std::string>> records) {
  Bytes out = Header();
  for (const auto& [tag, value] : records) Put(out, tag, value);
  Put(out, 0, "");
  return out;
}

std::string Raw(std::initializer_list<int> bytes) {
  std::string s;
  for (int b : bytes) s += static_cast<char>(b);
  return s;
}

SkinFile RichSkin() {
  SkinFile skin;
  skin.name = "青瓷 Celadon";
  skin.style = "Fusion";
  skin.colours = {{SkinColourGroup::All, SkinColourRole::Window, 0xEE, 0xF3, 0xF0},
                  {SkinColourGroup::All, SkinColourRole::PlaceholderText, 1, 2, 3},
                  {SkinColourGroup::Disabled, SkinColourRole::Text, 0x80, 0x80, 0x80},
                  {SkinColourGroup::Inactive, SkinColourRole::Highlight, 0, 0, 0xFF}};
  skin.font = SkinFont{9, {"Noto Sans CJK SC", "文泉驿微米黑"}};
  skin.styleSheet = "QPushButton {\n\tborder-radius: 4px;\r\n}\n";
  return skin;
}

TEST(SkinFile, WrittenFileReadsBackTheSame) {
  const SkinFile skin = RichSkin();
  const Bytes bytes = WriteSkinFile(skin);
  ASSERT_GE(bytes.size(), sizeof kSkinMagic);
  EXPECT_TRUE(std::equal(std::begin(kSkinMagic), std::end(kSkinMagic), bytes.begin()));
  const SkinParseResult parsed = ParseSkinFile(bytes);
  ASSERT_TRUE(parsed.ok()) << static_cast<int>(parsed.error) << " at " << parsed.offset;
  EXPECT_EQ(parsed.skin, skin);
}

TEST(SkinFile, MinimalFileHasNoFields) {
  const SkinParseResult parsed = ParseSkinFile(File({}));
  ASSERT_TRUE(parsed.ok());
  EXPECT_EQ(parsed.skin, SkinFile{});
}

TEST(SkinFile, LaterColourForTheSameRoleIsKeptInOrder) {
  const SkinParseResult parsed = ParseSkinFile(File({{3, Raw({0, 0, 1, 1, 1})}, {3, Raw({0, 0, 2, 2, 2})}}));
  ASSERT_TRUE(parsed.ok());
  ASSERT_EQ(parsed.skin.colours.size(), 2u);
  EXPECT_EQ(parsed.skin.colours[1].red, 2);
}

TEST(SkinFile, RecordsOfUnknownTagsAreSkipped) {
  const SkinParseResult parsed = ParseSkinFile(File({{0x7F, "anything \x01\xFF"}, {2, "Windows"}, {0xFF, ""}}));
  ASSERT_TRUE(parsed.ok());
  EXPECT_EQ(parsed.skin.style, "Windows");
}

struct BadCase {
  const char* what;
  Bytes bytes;
  SkinParseError error;
};

Bytes Appended(Bytes b, std::initializer_list<int> extra) {
  for (int x : extra) b.push_back(static_cast<unsigned char>(x));
  return b;
}

Bytes WithoutLast(Bytes b, std::size_t n) {
  b.resize(b.size() - n);
  return b;
}

Bytes RecordPastEnd() {
  Bytes b = Header();
  b.insert(b.end(), {1, 0x00, 0x10, 'a', 'b'});
  return b;
}

TEST(SkinFile, UnreadableFilesAreRejectedWithTheirFault) {
  const BadCase cases[] = {
      {"empty", {}, SkinParseError::BadHeader},
      {"magic alone", Bytes(kSkinMagic, kSkinMagic + 4), SkinParseError::BadHeader},
      {"other format revision", Appended(Bytes(kSkinMagic, kSkinMagic + 5), {0x02, 0, 0, 0}), SkinParseError::BadHeader},
      {"other magic", Appended({'.', 'S', 'H', 'F', 0, 3}, {0, 0, 0}), SkinParseError::BadHeader},
      {"header without end record", Header(), SkinParseError::Truncated},
      {"end record cut short", Appended(Header(), {0, 0}), SkinParseError::Truncated},
      {"end record one byte short", WithoutLast(File({{1, "name"}}), 1), SkinParseError::Truncated},
      {"record running past the end", RecordPastEnd(), SkinParseError::Truncated},
      {"bytes after the end record", Appended(File({}), {0}), SkinParseError::TrailingBytes},
      {"end record with a value", Appended(Header(), {0, 0, 1, 0}), SkinParseError::BadRecord},
      {"colour of four bytes", File({{3, Raw({0, 0, 1, 2})}}), SkinParseError::BadRecord},
      {"colour of six bytes", File({{3, Raw({0, 0, 1, 2, 3, 4})}}), SkinParseError::BadRecord},
      {"colour group out of range", File({{3, Raw({4, 0, 1, 2, 3})}}), SkinParseError::BadRecord},
      {"colour role out of range", File({{3, Raw({0, kSkinColourRoleCount, 1, 2, 3})}}), SkinParseError::BadRecord},
      {"empty style key", File({{2, ""}}), SkinParseError::BadRecord},
      {"style key with a space", File({{2, "Fu sion"}}), SkinParseError::BadRecord},
      {"style key too long", File({{2, std::string(65, 'a')}}), SkinParseError::BadRecord},
      {"two style keys", File({{2, "Fusion"}, {2, "Windows"}}), SkinParseError::BadRecord},
      {"two names", File({{1, "a"}, {1, "b"}}), SkinParseError::BadRecord},
      {"two style sheets", File({{4, "a"}, {4, "b"}}), SkinParseError::BadRecord},
      {"two fonts", File({{5, Raw({9}) + "A"}, {5, Raw({9}) + "B"}}), SkinParseError::BadRecord},
      {"name with an overlong form", File({{1, Raw({0xC0, 0x80})}}), SkinParseError::BadText},
      {"name with a surrogate", File({{1, Raw({0xED, 0xA0, 0x80})}}), SkinParseError::BadText},
      {"name above U+10FFFF", File({{1, Raw({0xF4, 0x90, 0x80, 0x80})}}), SkinParseError::BadText},
      {"name with a cut sequence", File({{1, Raw({'a', 0xE4, 0xB8})}}), SkinParseError::BadText},
      {"name with a control character", File({{1, "a\x01"}}), SkinParseError::BadText},
      {"name with a line break", File({{1, "a\nb"}}), SkinParseError::BadText},
      {"style sheet with a zero byte", File({{4, std::string("a\0b", 3)}}), SkinParseError::BadText},
      {"font without families", File({{5, Raw({9})}}), SkinParseError::BadRecord},
      {"font size too small", File({{5, Raw({3}) + "A"}}), SkinParseError::BadRecord},
      {"font size too large", File({{5, Raw({73}) + "A"}}), SkinParseError::BadRecord},
      {"font with an empty family", File({{5, Raw({9}) + "A,,B"}}), SkinParseError::BadText},
      {"font with a trailing comma", File({{5, Raw({9}) + "A,"}}), SkinParseError::BadText},
      {"font family with a control character", File({{5, Raw({9}) + "A\tB"}}), SkinParseError::BadText},
  };
  for (const BadCase& c : cases) {
    const SkinParseResult parsed = ParseSkinFile(c.bytes);
    EXPECT_EQ(parsed.error, c.error) << c.what;
    EXPECT_EQ(parsed.skin, SkinFile{}) << c.what;
    EXPECT_LE(parsed.offset, c.bytes.size()) << c.what;
  }
}

TEST(SkinFile, HugeFileIsRefusedBeforeReading) {
  Bytes big = File({});
  big.resize(kSkinMaxBytes + 1, 0);
  EXPECT_EQ(ParseSkinFile(big).error, SkinParseError::TooLarge);
}

TEST(SkinFile, FontOfSizeZeroKeepsTheSize) {
  const SkinParseResult parsed = ParseSkinFile(File({{5, Raw({0}) + "Noto Sans CJK SC,WenQuanYi Micro Hei"}}));
  ASSERT_TRUE(parsed.ok());
  ASSERT_TRUE(parsed.skin.font);
  EXPECT_EQ(*parsed.skin.font, (SkinFont{0, {"Noto Sans CJK SC", "WenQuanYi Micro Hei"}}));
}

// A file cut anywhere short of its end is never taken for a complete skin.
TEST(SkinFile, EveryTruncationIsRejected) {
  const Bytes whole = WriteSkinFile(RichSkin());
  for (std::size_t n = 0; n < whole.size(); ++n) {
    const SkinParseResult parsed = ParseSkinFile({whole.data(), n});
    EXPECT_FALSE(parsed.ok()) << "cut at " << n;
    EXPECT_LE(parsed.offset, n);
  }
}

// Damaged files read without faults (the sanitizer builds watch every access); what is accepted
// must be a file the writer could have made.
TEST(SkinFile, DamagedFilesNeverReadOutOfBounds) {
  const Bytes whole = WriteSkinFile(RichSkin());
  std::mt19937 random(20240611);
  for (int round = 0; round < 4000; ++round) {
    Bytes damaged = whole;
    const int flips = 1 + static_cast<int>(random() % 4);
    for (int i = 0; i < flips; ++i) damaged[random() % damaged.size()] = static_cast<unsigned char>(random());
    if (random() % 3 == 0) damaged.resize(random() % (damaged.size() + 1));
    const SkinParseResult parsed = ParseSkinFile(damaged);
    EXPECT_LE(parsed.offset, damaged.size());
    if (parsed.ok()) {
      EXPECT_FALSE(WriteSkinFile(parsed.skin).empty()) << "round " << round;
    }
  }
}

TEST(SkinFile, WriterRefusesWhatCannotBeRead) {
  struct Case {
    const char* what;
    void (*spoil)(SkinFile&);
  };
  const Case cases[] = {
      {"style key with a space", [](SkinFile& s) { s.style = "Fu sion"; }},
      {"name with a control character", [](SkinFile& s) { s.name = "a\x02"; }},
      {"name too long for a record", [](SkinFile& s) { s.name = std::string(0x10000, 'a'); }},
      {"style sheet not UTF-8", [](SkinFile& s) { s.styleSheet = "\xFF"; }},
      {"font size too large", [](SkinFile& s) { s.font->pointSize = 300; }},
      {"font without families", [](SkinFile& s) { s.font->families.clear(); }},
      {"font family with a comma", [](SkinFile& s) { s.font->families = {"A,B"}; }},
      {"colour role out of range",
       [](SkinFile& s) { s.colours.push_back({SkinColourGroup::All, static_cast<SkinColourRole>(kSkinColourRoleCount)}); }},
  };
  for (const Case& c : cases) {
    SkinFile skin = RichSkin();
    c.spoil(skin);
    EXPECT_TRUE(WriteSkinFile(skin).empty()) << c.what;
  }
}

}  // namespace
}  // namespace korvane
