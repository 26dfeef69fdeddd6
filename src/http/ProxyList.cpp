#include "http/ProxyList.h"

#include <algorithm>
#include <vector>

#include "text/TextOps.h"

namespace korvane {
namespace {

struct Entry {
  Text scheme;  // empty: every scheme
  Text server;
};

std::vector<Entry> Entries(std::string_view list) {
  std::vector<Entry> entries;
  std::size_t from = 0;
  while (from < list.size()) {
    const auto end = std::min(list.find_first_of(" \t;", from), list.size());
    if (end > from) {
      const auto token = list.substr(from, end - from);
      const auto equals = token.find('=');
      if (equals == std::string_view::npos) {
        entries.push_back({{}, Text(token)});
      } else {
        entries.push_back({ToLower(token.substr(0, equals)), Text(token.substr(equals + 1))});
      }
    }
    from = end + 1;
  }
  return entries;
}

bool HasPort(std::string_view server) {
  if (!server.empty() && server.front() == '[') return server.find("]:") != std::string_view::npos;
  return server.find(':') != std::string_view::npos;
}

}  // namespace

std::optional<Text> ProxyForRequest(std::string_view proxyList, bool https) {
  auto entries = Entries(proxyList);
  const Text wanted = https ? "https" : "http";
  if (!https && !entries.empty() && entries.front().scheme.empty()) entries.front().scheme = wanted;

  const Entry* chosen = nullptr;
  for (const auto& entry : entries) {
    if (entry.scheme == wanted) {
      chosen = &entry;
      break;
    }
    if (!chosen && entry.scheme.empty()) chosen = &entry;
  }
  if (!chosen) return Text();

  std::string_view server = chosen->server;
  if (ToLower(Left(server, 7)) == "http://") server.remove_prefix(7);
  if (server.empty() || server.find_first_of("/=@") != std::string_view::npos) return std::nullopt;
  Text out = "http://";
  out.append(server);
  if (!HasPort(server)) out += ":80";
  return out;
}

}  // namespace korvane
