#include "http/Cookies.h"

#include <algorithm>

#include "text/TextOps.h"

namespace korvane {
namespace {

constexpr std::string_view kDeleted = "=deleted";

bool IsDeleted(std::string_view entry) {
  return entry.size() >= kDeleted.size() && entry.substr(entry.size() - kDeleted.size()) == kDeleted;
}

Text JoinEach(const std::vector<Text>& pieces, std::string_view separator) {
  Text out;
  for (const auto& piece : pieces) out.append(piece).append(separator);
  out.resize(out.size() - std::min(out.size(), separator.size()));
  return out;
}

}  // namespace

Text MergeCookies(Text* oldCookies, Text* newCookies) {
  Text scratchOld;
  Text scratchNew;
  Text& held = oldCookies ? *oldCookies : scratchOld;
  Text& fresh = newCookies ? *newCookies : scratchNew;
  held = RemoveAllSpaces(held);
  fresh = RemoveAllSpaces(fresh);

  std::vector<Text> merged = Split(fresh, ";");
  for (auto& entry : Split(held, ";")) {
    if (!HasCookieName(merged, CookieName(entry))) merged.push_back(std::move(entry));
  }
  std::vector<Text> kept;
  for (auto& entry : merged) {
    if (!IsDeleted(entry)) kept.push_back(std::move(entry));
  }
  held = JoinDistinct(JoinEach(kept, "; "), "; ");
  return held;
}

Text CookieName(std::string_view entry) {
  const int equals = Find(entry, "=");
  return Trim(equals > 0 ? entry.substr(0, static_cast<std::size_t>(equals) - 1) : entry);
}

bool HasCookieName(const std::vector<Text>& entries, std::string_view name) {
  return std::any_of(entries.begin(), entries.end(),
                     [&](const Text& entry) { return CookieName(entry) == name; });
}

Text JoinDistinct(std::string_view text, std::string_view separator) {
  std::vector<Text> taken;
  for (auto& piece : Split(text, separator)) {
    if (std::find(taken.begin(), taken.end(), piece) == taken.end()) taken.push_back(std::move(piece));
  }
  return JoinEach(taken, separator);
}

}  // namespace korvane
