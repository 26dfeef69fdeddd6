// Build step: turns the table of colour schemes into the skin catalogue, a C++ source that defines
// korvane::embedded::kSkinFiles. Usage: MakeSkinCatalogue SCHEMES.txt OUTPUT.cpp
#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "skin/EmbeddedBytes.h"
#include "skin/gen/ByteLiteral.h"
#include "skinlib/SkinFile.h"

namespace {

using korvane::SkinColour;
using korvane::SkinColourGroup;
using korvane::SkinColourRole;
using korvane::SkinFile;

struct Rgb {
  int r = 0, g = 0, b = 0;
};

// Moves `from` toward `to` by `amount` (0 to 1).
Rgb Mix(Rgb from, Rgb to, double amount) {
  auto one = [amount](int a, int b) { return static_cast<int>(a + (b - a) * amount + 0.5); };
  return {one(from.r, to.r), one(from.g, to.g), one(from.b, to.b)};
}

const Rgb kWhite{255, 255, 255};
const Rgb kBlack{0, 0, 0};

std::string Trim(const std::string& s) {
  const auto first = s.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

std::vector<std::string> Columns(const std::string& line) {
  std::vector<std::string> out;
  std::size_t start = 0;
  while (true) {
    const std::size_t bar = line.find('|', start);
    out.push_back(Trim(line.substr(start, bar == std::string::npos ? std::string::npos : bar - start)));
    if (bar == std::string::npos) return out;
    start = bar + 1;
  }
}

std::optional<Rgb> ParseRgb(const std::string& s) {
  if (s.size() != 7 || s[0] != '#') return std::nullopt;
  unsigned v = 0;
  for (std::size_t i = 1; i < 7; ++i) {
    const char c = s[i];
    int d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else return std::nullopt;
    v = v << 4 | static_cast<unsigned>(d);
  }
  return Rgb{static_cast<int>(v >> 16), static_cast<int>(v >> 8 & 0xFF), static_cast<int>(v & 0xFF)};
}

// Style sheets draw with the palette's own colours, so that one sheet fits every scheme.
const std::map<std::string, std::string> kSheets = {
    {"none", ""},
    {"rounded",
     "QPushButton { background-color: palette(button); color: palette(button-text);"
     " border: 1px solid palette(dark); border-radius: 4px; padding: 2px 10px; }\n"
     "QPushButton:hover { background-color: palette(midlight); }\n"
     "QPushButton:pressed { background-color: palette(mid); }\n"
     "QPushButton:focus { border-color: palette(highlight); }\n"
     "QLineEdit { background-color: palette(base); color: palette(text); border: 1px solid palette(mid);"
     " border-radius: 3px; padding: 1px 4px; selection-background-color: palette(highlight);"
     " selection-color: palette(highlighted-text); }\n"
     "QLineEdit:focus { border-color: palette(highlight); }\n"
     "QAbstractItemView { border: 1px solid palette(mid); }\n"},
    {"flat",
     "QPushButton { background-color: palette(button); color: palette(button-text); border: none;"
     " padding: 3px 10px; }\n"
     "QPushButton:hover { background-color: palette(light); }\n"
     "QPushButton:pressed { background-color: palette(mid); }\n"
     "QLineEdit { background-color: palette(base); color: palette(text); border: none;"
     " border-bottom: 2px solid palette(mid); padding: 1px 4px; }\n"
     "QLineEdit:focus { border-bottom-color: palette(highlight); }\n"},
};

// Column order of the table after number, name and style.
enum Given { kWindow, kWindowText, kBase, kAlternateBase, kText, kButton, kButtonText, kHighlight,
             kHighlightedText, kLink, kGivenCount };

SkinColour Colour(SkinColourGroup group, SkinColourRole role, Rgb c) {
  return {group, role, static_cast<std::uint8_t>(c.r), static_cast<std::uint8_t>(c.g), static_cast<std::uint8_t>(c.b)};
}

// The roles a scheme names, the roles derived from them, then the disabled look.
std::vector<SkinColour> Palette(const std::array<Rgb, kGivenCount>& g) {
  using R = SkinColourRole;
  const auto all = SkinColourGroup::All;
  const Rgb button = g[kButton];
  std::vector<SkinColour> out = {
      Colour(all, R::Window, g[kWindow]),
      Colour(all, R::WindowText, g[kWindowText]),
      Colour(all, R::Base, g[kBase]),
      Colour(all, R::AlternateBase, g[kAlternateBase]),
      Colour(all, R::Text, g[kText]),
      Colour(all, R::Button, button),
      Colour(all, R::ButtonText, g[kButtonText]),
      Colour(all, R::BrightText, kWhite),
      Colour(all, R::Light, Mix(button, kWhite, 0.45)),
      Colour(all, R::Midlight, Mix(button, kWhite, 0.2)),
      Colour(all, R::Mid, Mix(button, kBlack, 0.25)),
      Colour(all, R::Dark, Mix(button, kBlack, 0.45)),
      Colour(all, R::Shadow, Mix(button, kBlack, 0.8)),
      Colour(all, R::Highlight, g[kHighlight]),
      Colour(all, R::HighlightedText, g[kHighlightedText]),
      Colour(all, R::Link, g[kLink]),
      Colour(all, R::LinkVisited, Mix(g[kLink], g[kText], 0.35)),
      Colour(all, R::ToolTipBase, Mix(g[kBase], g[kHighlight], 0.12)),
      Colour(all, R::ToolTipText, g[kText]),
      Colour(all, R::PlaceholderText, Mix(g[kText], g[kBase], 0.45)),
  };
  const auto off = SkinColourGroup::Disabled;
  out.push_back(Colour(off, R::WindowText, Mix(g[kWindowText], g[kWindow], 0.55)));
  out.push_back(Colour(off, R::Text, Mix(g[kText], g[kBase], 0.55)));
  out.push_back(Colour(off, R::ButtonText, Mix(g[kButtonText], button, 0.55)));
  out.push_back(Colour(off, R::Base, g[kWindow]));
  out.push_back(Colour(off, R::Highlight, Mix(g[kHighlight], g[kWindow], 0.5)));
  return out;
}

std::optional<korvane::SkinFont> ParseFont(const std::string& s) {
  if (s == "-") return korvane::SkinFont{};
  std::istringstream in(s);
  korvane::SkinFont font;
  if (!(in >> font.pointSize)) return std::nullopt;
  std::string rest;
  std::getline(in, rest);
  rest = Trim(rest);
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = rest.find(',', start);
    font.families.push_back(Trim(rest.substr(start, comma == std::string::npos ? std::string::npos : comma - start)));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return font;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: MakeSkinCatalogue SCHEMES.txt OUTPUT.cpp\n";
    return 2;
  }
  std::ifstream in(argv[1]);
  if (!in) {
    std::cerr << "MakeSkinCatalogue: cannot read " << argv[1] << "\n";
    return 1;
  }
  std::vector<std::vector<unsigned char>> skins;
  std::string line;
  int lineNumber = 0;
  auto fail = [&](const std::string& why) {
    std::cerr << argv[1] << ":" << lineNumber << ": " << why << "\n";
    return 1;
  };
  while (std::getline(in, line)) {
    ++lineNumber;
    if (Trim(line).empty() || Trim(line)[0] == '#') continue;
    const std::vector<std::string> cols = Columns(line);
    if (cols.size() != 3 + kGivenCount + 2) return fail("expected 15 columns");
    if (cols[0] != std::to_string(skins.size() + 1)) return fail("skins must be numbered 1, 2, ... in order");
    std::array<Rgb, kGivenCount> given;
    for (int i = 0; i < kGivenCount; ++i) {
      const auto rgb = ParseRgb(cols[3 + i]);
      if (!rgb) return fail("bad colour " + cols[3 + i]);
      given[i] = *rgb;
    }
    SkinFile skin;
    skin.name = cols[1];
    skin.style = cols[2];
    skin.colours = Palette(given);
    const auto font = ParseFont(cols[13]);
    if (!font) return fail("bad font " + cols[13]);
    if (!font->families.empty()) skin.font = *font;
    const auto sheet = kSheets.find(cols[14]);
    if (sheet == kSheets.end()) return fail("unknown style sheet " + cols[14]);
    skin.styleSheet = sheet->second;
    std::vector<unsigned char> bytes = korvane::WriteSkinFile(skin);
    if (bytes.empty()) return fail("the scheme cannot be written as a skin file");
    skins.push_back(std::move(bytes));
  }
  if (skins.size() != korvane::embedded::kSkinFileCount) {
    std::cerr << argv[1] << ": " << skins.size() << " skins, expected " << korvane::embedded::kSkinFileCount << "\n";
    return 1;
  }

  std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
  out << "// Generated by the build from " << argv[1] << ". Do not edit.\n"
      << "#include \"skin/EmbeddedBytes.h\"\n\nnamespace korvane::embedded {\nnamespace {\n";
  for (std::size_t i = 0; i < skins.size(); ++i) {
    out << "const unsigned char kSkin" << i + 1 << "[] =\n";
    korvane::gen::WriteByteLiteral(out, skins[i]);
    out << ";\n";
  }
  out << "}  // namespace\n\nconst Blob kSkinFiles[kSkinFileCount] = {\n";
  for (std::size_t i = 0; i < skins.size(); ++i)
    out << "    {kSkin" << i + 1 << ", sizeof kSkin" << i + 1 << " - 1},\n";
  out << "};\n\n}  // namespace korvane::embedded\n";
  out.close();
  if (!out) {
    std::cerr << "MakeSkinCatalogue: cannot write " << argv[2] << "\n";
    std::remove(argv[2]);
    return 1;
  }
  return 0;
}
