#include "cli/RowFormat.h"

#include "search/TextCodecs.h"

namespace korvane {
namespace {

std::string EscapeTab(const Text& field) {
  std::string out;
  for (const char c : LocalToUtf8(field)) {
    switch (c) {
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      case '\\': out += "\\\\"; break;
      default: out += c;
    }
  }
  return out;
}

std::string JsonString(const Text& field) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out = "\"";
  for (const char ch : LocalToUtf8(field)) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      (out += '\\') += ch;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c < 0x20 || c == 0x7F) {
      ((out += "\\u00") += kHex[c >> 4]) += kHex[c & 0xF];
    } else {
      out += ch;
    }
  }
  return out += '"';
}

}  // namespace

std::string FormatTabRow(const ResultRow& row) {
  return EscapeTab(row.name) + '\t' + EscapeTab(row.size) + '\t' + EscapeTab(row.files) + '\t' +
         EscapeTab(row.date) + '\t' + EscapeTab(row.magnet);
}

std::string FormatJsonRow(const ResultRow& row) {
  return "{\"name\":" + JsonString(row.name) + ",\"size\":" + JsonString(row.size) +
         ",\"files\":" + JsonString(row.files) + ",\"date\":" + JsonString(row.date) +
         ",\"magnet\":" + JsonString(row.magnet) + "}";
}

}  // namespace korvane
