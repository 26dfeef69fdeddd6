#pragma once
// A small JSON reader for generated test vectors: null, booleans, integers, strings (read into
// UTF-16, \u escapes kept unit for unit, lone surrogates included), arrays and objects.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::testing {

struct JsonValue {
  enum class Kind { kNull, kBool, kNumber, kString, kArray, kObject } kind = Kind::kNull;
  bool boolean = false;
  std::int64_t number = 0;
  std::u16string string;
  std::vector<JsonValue> array;
  std::map<std::string, JsonValue> object;

  bool IsNull() const { return kind == Kind::kNull; }
  bool Has(const std::string& key) const { return object.count(key) > 0; }
  const JsonValue& operator[](const std::string& key) const { return object.at(key); }
  const JsonValue& operator[](std::size_t index) const { return array.at(index); }
};

class JsonReader {
 public:
  explicit JsonReader(std::string_view text) : text_(text) {}

  std::optional<JsonValue> Read() {
    JsonValue value;
    if (!Value(value)) return std::nullopt;
    Space();
    if (at_ != text_.size()) return std::nullopt;
    return value;
  }

 private:
  void Space() {
    while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\n' || text_[at_] == '\r')) ++at_;
  }
  bool Literal(std::string_view word) {
    if (text_.substr(at_, word.size()) != word) return false;
    at_ += word.size();
    return true;
  }
  bool Value(JsonValue& v) {
    Space();
    if (at_ >= text_.size()) return false;
    const char c = text_[at_];
    if (c == 'n') return Literal("null");
    if (c == 't' || c == 'f') {
      v.kind = JsonValue::Kind::kBool;
      v.boolean = c == 't';
      return Literal(c == 't' ? "true" : "false");
    }
    if (c == '"') {
      v.kind = JsonValue::Kind::kString;
      return String(v.string);
    }
    if (c == '[') {
      v.kind = JsonValue::Kind::kArray;
      ++at_;
      Space();
      if (at_ < text_.size() && text_[at_] == ']') return ++at_, true;
      while (true) {
        v.array.emplace_back();
        if (!Value(v.array.back())) return false;
        Space();
        if (at_ >= text_.size()) return false;
        if (text_[at_++] == ']') return true;
        if (text_[at_ - 1] != ',') return false;
      }
    }
    if (c == '{') {
      v.kind = JsonValue::Kind::kObject;
      ++at_;
      Space();
      if (at_ < text_.size() && text_[at_] == '}') return ++at_, true;
      while (true) {
        Space();
        std::u16string key;
        if (at_ >= text_.size() || text_[at_] != '"' || !String(key)) return false;
        Space();
        if (at_ >= text_.size() || text_[at_++] != ':') return false;
        JsonValue& member = v.object[std::string(key.begin(), key.end())];
        if (!Value(member)) return false;
        Space();
        if (at_ >= text_.size()) return false;
        if (text_[at_++] == '}') return true;
        if (text_[at_ - 1] != ',') return false;
      }
    }
    if (c == '-' || (c >= '0' && c <= '9')) {
      v.kind = JsonValue::Kind::kNumber;
      const bool negative = c == '-';
      if (negative) ++at_;
      std::int64_t n = 0;
      while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') n = n * 10 + (text_[at_++] - '0');
      v.number = negative ? -n : n;
      return true;
    }
    return false;
  }
  int Hex(char c) const {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  }
  bool String(std::u16string& out) {
    ++at_;  // opening quote
    while (at_ < text_.size()) {
      const auto c = static_cast<unsigned char>(text_[at_]);
      if (c == '"') return ++at_, true;
      if (c == '\\') {
        if (++at_ >= text_.size()) return false;
        const char e = text_[at_++];
        switch (e) {
          case '"': out += u'"'; break;
          case '\\': out += u'\\'; break;
          case '/': out += u'/'; break;
          case 'b': out += u'\b'; break;
          case 'f': out += u'\f'; break;
          case 'n': out += u'\n'; break;
          case 'r': out += u'\r'; break;
          case 't': out += u'\t'; break;
          case 'u': {
            if (at_ + 4 > text_.size()) return false;
            int unit = 0;
            for (int k = 0; k < 4; ++k) {
              const int h = Hex(text_[at_++]);
              if (h < 0) return false;
              unit = unit * 16 + h;
            }
            out += static_cast<char16_t>(unit);
            break;
          }
          default: return false;
        }
        continue;
      }
      // UTF-8 to UTF-16 (the generator writes well-formed UTF-8).
      std::uint32_t cp = c;
      int extra = 0;
      if (c >= 0xF0) cp = c & 0x07, extra = 3;
      else if (c >= 0xE0) cp = c & 0x0F, extra = 2;
      else if (c >= 0xC0) cp = c & 0x1F, extra = 1;
      ++at_;
      for (int k = 0; k < extra; ++k) {
        if (at_ >= text_.size()) return false;
        cp = cp << 6 | (static_cast<unsigned char>(text_[at_++]) & 0x3F);
      }
      if (cp >= 0x10000) {
        cp -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (cp >> 10));
        out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
      } else {
        out += static_cast<char16_t>(cp);
      }
    }
    return false;
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

}  // namespace korvane::testing
