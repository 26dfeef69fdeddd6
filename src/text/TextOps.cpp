#include "text/TextOps.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace korvane {
namespace {

inline bool IsLeadByte(unsigned char c) { return c >= 0x80; }

// Length of the character that starts at `pos`: a lead byte takes the byte after it along.
inline std::size_t CharLength(std::string_view text, std::size_t pos) {
  return IsLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size() ? 2 : 1;
}

inline unsigned char FoldAscii(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

inline unsigned char UpAscii(unsigned char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - ('a' - 'A')) : c;
}

// Whether `what` stands at `pos`. Without regard to case, only ASCII characters fold: both bytes
// of a double-byte character compare exactly (its second byte may look like an ASCII letter).
bool MatchAt(std::string_view text, std::size_t pos, std::string_view what, bool ignoreCase) {
  if (what.size() > text.size() - pos) return false;
  if (!ignoreCase) return std::memcmp(text.data() + pos, what.data(), what.size()) == 0;
  for (std::size_t i = 0; i < what.size(); ++i) {
    const auto a = static_cast<unsigned char>(text[pos + i]);
    const auto b = static_cast<unsigned char>(what[i]);
    if (IsLeadByte(a) || IsLeadByte(b)) {
      if (a != b) return false;
      if (++i < what.size() && text[pos + i] != what[i]) return false;
    } else if (FoldAscii(a) != FoldAscii(b)) {
      return false;
    }
  }
  return true;
}

// Walks character boundaries forward; `MoveTo` tells whether `target` is a boundary.
class Boundaries {
 public:
  explicit Boundaries(std::string_view text) : text_(text) {}
  bool MoveTo(std::size_t target) {
    while (at_ < target) at_ += CharLength(text_, at_);
    return at_ == target;
  }
  // The first boundary at or after `target`.
  std::size_t NextFrom(std::size_t target) {
    MoveTo(target);
    return at_;
  }

 private:
  std::string_view text_;
  std::size_t at_ = 0;
};

// 0-based offset of the first match at or after `from`, or npos.
std::size_t FindFrom(std::string_view text, std::string_view what, std::size_t from, bool ignoreCase) {
  if (from >= text.size()) return std::string_view::npos;
  Boundaries boundaries(text);
  if (!ignoreCase) {
    for (auto cand = text.find(what, from); cand != std::string_view::npos; cand = text.find(what, cand + 1)) {
      if (boundaries.MoveTo(cand)) return cand;
    }
    return std::string_view::npos;
  }
  for (std::size_t pos = boundaries.NextFrom(from); pos + what.size() <= text.size(); pos += CharLength(text, pos)) {
    if (MatchAt(text, pos, what, true)) return pos;
  }
  return std::string_view::npos;
}

inline bool IsSpaceAt(std::string_view text, std::size_t pos, std::size_t len) {
  return (len == 1 && text[pos] == ' ') ||
         (len == 2 && text[pos] == '\xA1' && text[pos + 1] == '\xA1');
}

}  // namespace

int Find(std::string_view text, std::string_view what, int start, bool ignoreCase) {
  const std::size_t from = start <= 1 ? 0 : static_cast<std::size_t>(start) - 1;
  if (from >= text.size()) return -1;
  if (what.empty()) return 1;
  const auto pos = FindFrom(text, what, from, ignoreCase);
  return pos == std::string_view::npos ? -1 : static_cast<int>(pos) + 1;
}

int ReverseFind(std::string_view text, std::string_view what, std::optional<int> start, bool ignoreCase) {
  if (what.empty()) return -1;
  std::size_t limit = text.size();  // a match must end at or before this offset
  if (start) limit = *start <= 1 ? 0 : std::min<std::size_t>(static_cast<std::size_t>(*start) - 1, text.size());
  int found = -1;
  for (std::size_t pos = 0; pos + what.size() <= limit; pos += CharLength(text, pos)) {
    if (MatchAt(text, pos, what, ignoreCase)) found = static_cast<int>(pos) + 1;
  }
  return found;
}

Text Left(std::string_view text, int n) {
  if (n <= 0) return {};
  return Text(text.substr(0, static_cast<std::size_t>(n)));
}

Text Right(std::string_view text, int n) {
  if (n <= 0) return {};
  const auto count = std::min(static_cast<std::size_t>(n), text.size());
  return Text(text.substr(text.size() - count));
}

Text Mid(std::string_view text, int start, int n) {
  if (n <= 0 || start < 1 || static_cast<std::size_t>(start) > text.size()) return {};
  return Text(text.substr(static_cast<std::size_t>(start) - 1, static_cast<std::size_t>(n)));
}

Text Mid(std::string_view text, int start) {
  if (start < 1 || static_cast<std::size_t>(start) > text.size()) return {};
  return Text(text.substr(static_cast<std::size_t>(start) - 1));
}

Text Replace(std::string_view text, std::string_view what, std::string_view with, bool ignoreCase) {
  if (what.empty()) return Text(text);
  Text out;
  out.reserve(text.size());
  std::size_t from = 0;
  while (true) {
    const auto pos = FindFrom(text, what, from, ignoreCase);
    if (pos == std::string_view::npos) break;
    out.append(text.substr(from, pos - from)).append(with);
    from = pos + what.size();
  }
  out.append(text.substr(std::min(from, text.size())));
  return out;
}

std::vector<Text> Split(std::string_view text, std::string_view separator) {
  std::vector<Text> pieces;
  if (text.empty()) return pieces;
  if (separator.empty()) {
    pieces.emplace_back(text);
    return pieces;
  }
  std::size_t from = 0;
  while (true) {
    const auto pos = FindFrom(text, separator, from, false);
    if (pos == std::string_view::npos) break;
    pieces.emplace_back(text.substr(from, pos - from));
    from = pos + separator.size();
  }
  if (from < text.size()) pieces.emplace_back(text.substr(from));
  return pieces;
}

Text Trim(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = 0;  // just after the last character that is not a space
  bool leading = true;
  for (std::size_t pos = 0; pos < text.size();) {
    const auto len = CharLength(text, pos);
    if (!IsSpaceAt(text, pos, len)) {
      if (leading) begin = pos;
      leading = false;
      end = pos + len;
    }
    pos += len;
  }
  return leading ? Text() : Text(text.substr(begin, end - begin));
}

Text RemoveAllSpaces(std::string_view text) {
  Text out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    const auto len = CharLength(text, pos);
    if (!IsSpaceAt(text, pos, len)) out.append(text.substr(pos, len));
    pos += len;
  }
  return out;
}

namespace {
template <typename Change>
Text ChangeAsciiLetters(std::string_view text, Change change) {
  Text out(text);
  for (std::size_t pos = 0; pos < out.size();) {
    const auto len = CharLength(out, pos);
    if (len == 1) out[pos] = static_cast<char>(change(static_cast<unsigned char>(out[pos])));
    pos += len;
  }
  return out;
}
}  // namespace

Text ToLower(std::string_view text) { return ChangeAsciiLetters(text, FoldAscii); }
Text ToUpper(std::string_view text) { return ChangeAsciiLetters(text, UpAscii); }

int Compare(std::string_view a, std::string_view b) {
  const int c = a.compare(b);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

std::int32_t TextToInt(std::string_view text) {
  std::size_t pos = 0;
  auto fullWidth = [&](unsigned char second) {
    return pos + 1 < text.size() && text[pos] == '\xA3' && static_cast<unsigned char>(text[pos + 1]) == second;
  };
  while (pos < text.size()) {
    const char c = text[pos];
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f') {
      ++pos;
    } else if (pos + 1 < text.size() && c == '\xA1' && text[pos + 1] == '\xA1') {
      pos += 2;
    } else {
      break;
    }
  }
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    negative = text[pos] == '-';
    ++pos;
  } else if (fullWidth(0xAB) || fullWidth(0xAD)) {  // ＋ and －
    negative = static_cast<unsigned char>(text[pos + 1]) == 0xAD;
    pos += 2;
  }
  std::int64_t value = 0;
  constexpr std::int64_t kCap = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  while (pos < text.size()) {
    int digit;
    if (text[pos] >= '0' && text[pos] <= '9') {
      digit = text[pos] - '0';
      ++pos;
    } else if (pos + 1 < text.size() && text[pos] == '\xA3' && static_cast<unsigned char>(text[pos + 1]) >= 0xB0 &&
               static_cast<unsigned char>(text[pos + 1]) <= 0xB9) {  // ０ to ９
      digit = static_cast<unsigned char>(text[pos + 1]) - 0xB0;
      pos += 2;
    } else {
      break;
    }
    value = std::min(value * 10 + digit, kCap);
  }
  if (negative) return static_cast<std::int32_t>(-value);
  return static_cast<std::int32_t>(std::min(value, kCap - 1));
}

Text IntToText(std::int64_t value) { return std::to_string(value); }

Text ByteToHex(unsigned char value) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  Text out;
  if (value >= 0x10) out += kDigits[value >> 4];
  out += kDigits[value & 0xF];
  return out;
}

Bytes TextToBytes(std::string_view text) { return Bytes(text.begin(), text.end()); }

Text BytesToText(const Bytes& bytes) {
  if (bytes.empty()) return {};
  const auto* data = reinterpret_cast<const char*>(bytes.data());
  const void* zero = std::memchr(data, 0, bytes.size());
  return Text(data, zero ? static_cast<const char*>(zero) : data + bytes.size());
}

std::string_view UpToZero(std::string_view text) { return text.substr(0, text.find('\0')); }

}  // namespace korvane
