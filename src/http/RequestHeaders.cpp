#include "http/RequestHeaders.h"

#include <algorithm>

#include "http/HeaderValue.h"
#include "http/TextBetween.h"
#include "text/TextOps.h"

namespace korvane {
namespace {
bool Holds(std::string_view text, std::string_view what) { return Find(text, what) > 0; }
}  // namespace

Text RequestAgent(std::string_view headers) {
  if (Find(headers, "User-Agent:", 1, true) < 0) return Text(kDefaultUserAgent);
  Text agent = Trim(TextBetween(headers, "User-Agent:", "\r\n"));
  if (agent.empty()) agent = HeaderValue(headers);
  return agent;
}

Text CompleteHeaders(std::string_view headers, std::string_view url, std::string_view cookies) {
  Text text(headers);
  if (text.empty()) {
    text = "Accept: */*";
  } else if (!Holds(text, "Accept:")) {
    text += "\r\nAccept: */*";
  }
  if (!Holds(text, "Referer:")) text.append("\r\nReferer: ").append(url);
  if (!Holds(text, "Accept-Language:")) text += "\r\nAccept-Language: zh-cn";
  if (!Holds(text, "Content-Type:")) text += "\r\nContent-Type: application/x-www-form-urlencoded";
  if (!cookies.empty()) text.append("\r\nCookie: ").append(cookies);
  return text;
}

std::vector<Text> HeaderLines(std::string_view headers) {
  std::vector<Text> lines;
  std::size_t from = 0;
  while (from <= headers.size()) {
    const auto end = std::min(headers.find_first_of("\r\n", from), headers.size());
    if (end > from) lines.emplace_back(headers.substr(from, end - from));
    from = end + 1;
  }
  return lines;
}

bool HoldsHeaderLine(const std::vector<Text>& lines, std::string_view name) {
  const Text prefix = ToLower(Text(name) + ":");
  return std::any_of(lines.begin(), lines.end(),
                     [&](const Text& line) { return ToLower(Left(line, static_cast<int>(prefix.size()))) == prefix; });
}

}  // namespace korvane
