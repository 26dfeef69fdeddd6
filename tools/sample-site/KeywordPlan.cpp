#include "sample-site/KeywordPlan.h"

#include "sample-site/ParseDecimal.h"

#include <algorithm>
#include <optional>

namespace korvane::site {

namespace {

// Length of the well-formed UTF-8 sequence at s[i], or 0 when there is none.
size_t Utf8SequenceAt(std::string_view s, size_t i, char32_t& cp) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char b0 = byte(i);
  if (b0 < 0x80) {
    cp = b0;
    return 1;
  }
  size_t len = 0;
  char32_t min = 0;
  if ((b0 & 0xE0) == 0xC0) {
    len = 2, cp = b0 & 0x1F, min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    len = 3, cp = b0 & 0x0F, min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    len = 4, cp = b0 & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (i + len > s.size()) return 0;
  for (size_t k = 1; k < len; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (byte(i + k) & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

std::string_view TrimSpaces(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

// Applies one "name=value" directive to the plan; false when it is none.
bool ApplyDirective(std::string_view piece, KeywordPlan& plan, std::optional<int>& pages) {
  const auto eq = piece.find('=');
  if (eq == std::string_view::npos) return false;
  const std::string_view name = piece.substr(0, eq);
  const std::string_view value = piece.substr(eq + 1);
  if (name == "pages" || name == "rows" || name == "emptyhash") {
    const auto n = ParseDecimal(value);
    if (!n) return false;
    if (name == "pages") pages = std::min(*n, kMaxPageCount);
    if (name == "rows") plan.rowsPerPage = std::min(*n, kMaxRowsPerPage);
    if (name == "emptyhash") plan.emptyHashRow = *n;
    return true;
  }
  if (name == "fault" || name == "delay") {
    const auto rule = name == "fault" ? ParseFaultRule(value) : ParseDelayRule(value);
    if (!rule) return false;
    plan.rules.push_back(*rule);
    return true;
  }
  return false;
}

}  // namespace

std::string CleanKeyword(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size();) {
    char32_t cp = 0;
    const size_t len = Utf8SequenceAt(bytes, i, cp);
    if (len == 0) {
      out += "\xEF\xBF\xBD";
      ++i;
    } else if (cp < 0x20 || cp == 0x7F || (cp >= 0x80 && cp < 0xA0)) {
      out += ' ';
      i += len;
    } else {
      out.append(bytes.substr(i, len));
      i += len;
    }
  }
  return out;
}

KeywordPlan ParseKeyword(std::string_view keyword) {
  KeywordPlan plan;
  plan.keyword = std::string(keyword);
  std::optional<int> pages;
  std::string base;
  size_t start = 0;
  bool firstPiece = true;
  while (start <= keyword.size()) {
    const auto hash = keyword.find('#', start);
    const auto end = hash == std::string_view::npos ? keyword.size() : hash;
    const std::string_view piece = keyword.substr(start, end - start);
    if (firstPiece) {
      base.append(piece);
    } else if (!ApplyDirective(piece, plan, pages)) {
      base += '#';
      base.append(piece);
    }
    firstPiece = false;
    if (hash == std::string_view::npos) break;
    start = hash + 1;
  }
  plan.base = std::string(TrimSpaces(CleanKeyword(base)));
  plan.pageCount = pages ? *pages : plan.base.empty() ? 0 : 2;
  return plan;
}

}  // namespace korvane::site
