#include "http/UrlParts.h"

#include "http/TextBetween.h"
#include "text/TextOps.h"

namespace korvane {
namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

Text HostOrdinary(Text s, bool rootDomain) {
  if (s.empty() || s.back() != '/') s += '/';
  if (StartsWith(s, "https://")) {
    s = TextBetween(s, "https://", "/");
  } else {
    if (Find(s, "http://") < 0) s.insert(0, "http://");
    s = TextBetween(s, "http://", "/");
  }
  if (rootDomain) {
    const auto labels = Split(s, ".");
    if (labels.size() >= 2) s = labels[labels.size() - 2] + "." + labels.back();
  }
  return s;
}

Text HostByLevels(Text s, bool rootDomain, int levels) {
  s = Replace(s, "http://");
  s = Replace(s, "https://");
  const int slash = Find(s, "/");
  if (slash > 0) s = Left(s, slash - 1);

  const int n = levels < 0 ? 0 : levels;
  // dots[k] is p(k): p(0) is the length, each next one the last "." wholly before the previous.
  std::vector<int> dots{static_cast<int>(s.size())};
  for (int k = 1; k <= n + 2; ++k) {
    const int prev = dots.back();
    const int dot = prev < 0 ? -1 : ReverseFind(s, ".", prev);
    dots.push_back(dot);
  }
  const auto pos = [&](int k) { return dots[static_cast<std::size_t>(k)]; };
  if (rootDomain) {
    if (pos(n + 1) > 0) s = Mid(s, pos(n + 1) + 1);
  } else if (pos(n + 1) > 0 && pos(n + 2) > 0) {
    s = Mid(s, pos(n + 2) + 1);
  }
  return s;
}

}  // namespace

Text UrlHost(std::string_view url, bool rootDomain, bool keepPort, std::optional<int> levels) {
  Text s = ToLower(url);
  s = levels ? HostByLevels(std::move(s), rootDomain, *levels) : HostOrdinary(std::move(s), rootDomain);
  if (keepPort) return s;
  const int colon = Find(s, ":");
  return colon > 0 ? Left(s, colon - 1) : s;
}

int UrlPort(std::string_view url) {
  const Text host = UrlHost(url, false, true);
  const int colon = ReverseFind(host, ":");
  if (colon > 0) return TextToInt(Mid(host, colon + 1));
  return ToLower(Left(url, 5)) == "https" ? 443 : 80;
}

Text UrlPath(std::string_view url) {
  const Text host = UrlHost(url);
  // The host is looked for after a leading scheme: a one-label host such as "h" or "s" would
  // otherwise be found inside "http://" itself and give a path of "//h/...".
  const Text lower = ToLower(Left(url, 8));
  const int schemeEnd = StartsWith(lower, "https://") ? 9 : StartsWith(lower, "http://") ? 8 : 1;
  const int at = Find(url, host, schemeEnd, true);
  const int slash = Find(url, "/", at > 0 ? at : 1);
  if (slash < 0) return "/";
  return Mid(url, slash);
}

}  // namespace korvane
