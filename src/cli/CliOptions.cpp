#include "cli/CliOptions.h"

#include <optional>

namespace korvane {

const char* const kCliUsage =
    "usage: korvane-search [--site BASE] [--json] [--demo] [--timeout SECONDS] KEYWORD\n"
    "\n"
    "Searches the torrent-search site for KEYWORD and prints one result per line:\n"
    "name, size, number of files, date and magnet link, separated by tabs\n"
    "(tab, CR, LF and backslash inside a field are written \\t, \\r, \\n and \\\\).\n"
    "\n"
    "  --site BASE  search this site (scheme and host, e.g. http://127.0.0.1:8080)\n"
    "  --json       one JSON object per line: name, size, files, date, magnet\n"
    "  --demo       start the bundled sample site inside this process and search it\n"
    "  --timeout SECONDS\n"
    "               give up on a page when no connection is made or nothing arrives\n"
    "               for SECONDS (1 to 3600, default 30)\n"
    "  --help       show this text\n"
    "\n"
    "Progress goes to standard error. Exit status: 0 when the search ran (also with no\n"
    "results), 1 when the site could not be reached or did not give the first page,\n"
    "2 for a usage error.\n";

namespace {

// A whole number of seconds from 1 to 3600, digits only.
std::optional<int> ParseSeconds(const std::string& text) {
  if (text.empty() || text.size() > 4) return std::nullopt;
  int value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value < 1 || value > 3600) return std::nullopt;
  return value;
}

}  // namespace

CliParse ParseCliOptions(const std::vector<std::string>& args) {
  CliOptions options;
  bool haveKeyword = false;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (!optionsEnded && a == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && (a == "--help" || a == "-h")) {
      options.help = true;
    } else if (!optionsEnded && a == "--json") {
      options.json = true;
    } else if (!optionsEnded && a == "--demo") {
      options.demo = true;
    } else if (!optionsEnded && (a == "--site" || a.rfind("--site=", 0) == 0)) {
      std::string value;
      if (a == "--site") {
        if (i + 1 >= args.size()) return {std::nullopt, "--site needs a value"};
        value = args[++i];
      } else {
        value = a.substr(7);
      }
      while (!value.empty() && value.back() == '/') value.pop_back();
      if (value.empty()) return {std::nullopt, "--site needs a value"};
      options.site = value;
    } else if (!optionsEnded && (a == "--timeout" || a.rfind("--timeout=", 0) == 0)) {
      std::string value;
      if (a == "--timeout") {
        if (i + 1 >= args.size()) return {std::nullopt, "--timeout needs a number of seconds"};
        value = args[++i];
      } else {
        value = a.substr(10);
      }
      const auto seconds = ParseSeconds(value);
      if (!seconds) return {std::nullopt, "--timeout takes whole seconds from 1 to 3600, not \"" + value + "\""};
      options.timeoutSeconds = *seconds;
    } else if (!optionsEnded && a.size() > 1 && a[0] == '-') {
      return {std::nullopt, "unknown option " + a};
    } else if (!haveKeyword) {
      options.keyword = a;
      haveKeyword = true;
    } else {
      return {std::nullopt, "only one keyword, please (quote a keyword with spaces)"};
    }
  }
  if (options.help) return {options, {}};
  if (!haveKeyword) return {std::nullopt, "no keyword given"};
  if (options.demo && options.site) return {std::nullopt, "--demo and --site exclude each other"};
  return {options, {}};
}

}  // namespace korvane
