#include "http/CookieStore.h"

#include <string_view>

#include "http/NoDestructor.h"
#include "text/TextOps.h"

namespace korvane {
namespace {

// A Netscape cookie line: domain, tail-match flag, path, secure flag, expiry, name, value,
// separated by tabs; an http-only cookie's domain carries the "#HttpOnly_" prefix.
std::string KeyOf(std::string_view line) {
  constexpr std::string_view kHttpOnly = "#HttpOnly_";
  if (line.substr(0, kHttpOnly.size()) == kHttpOnly) line.remove_prefix(kHttpOnly.size());
  std::vector<std::string_view> fields;
  std::size_t from = 0;
  while (fields.size() < 6) {
    const auto tab = line.find('\t', from);
    fields.push_back(line.substr(from, tab == std::string_view::npos ? std::string_view::npos : tab - from));
    if (tab == std::string_view::npos) break;
    from = tab + 1;
  }
  if (fields.size() < 6) return {};
  std::string key = ToLower(fields[0]);
  for (const auto index : {1, 2, 5}) key.append("\t").append(fields[static_cast<std::size_t>(index)]);
  return key;
}

std::map<std::string, std::string> ByKey(const std::vector<std::string>& lines) {
  std::map<std::string, std::string> keyed;
  for (const auto& line : lines) {
    auto key = KeyOf(line);
    if (!key.empty()) keyed[std::move(key)] = line;
  }
  return keyed;
}

}  // namespace

CookieStore& CookieStore::Shared() {
  static NoDestructor<CookieStore> store;
  return store.get();
}

std::vector<std::string> CookieStore::Snapshot() const {
  std::lock_guard lock(mutex_);
  std::vector<std::string> lines;
  lines.reserve(lines_.size());
  for (const auto& [key, line] : lines_) lines.push_back(line);
  return lines;
}

void CookieStore::Update(const std::vector<std::string>& before, const std::vector<std::string>& after) {
  const auto started = ByKey(before);
  const auto ended = ByKey(after);
  std::lock_guard lock(mutex_);
  for (const auto& [key, line] : ended) {
    const auto was = started.find(key);
    if (was == started.end() || was->second != line) lines_[key] = line;
  }
  for (const auto& [key, line] : started) {
    if (ended.count(key)) continue;
    const auto held = lines_.find(key);
    if (held != lines_.end() && held->second == line) lines_.erase(held);
  }
}

void CookieStore::Clear() {
  std::lock_guard lock(mutex_);
  lines_.clear();
}

}  // namespace korvane
