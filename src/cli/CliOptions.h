#pragma once
// The command line of korvane-search: [--site BASE] [--json] [--demo] [--timeout SECONDS] KEYWORD.
#include <optional>
#include <string>
#include <vector>

namespace korvane {

struct CliOptions {
  std::optional<std::string> site;  // replaces the built-in site base for this run
  bool json = false;
  bool demo = false;
  bool help = false;
  // A connection not made, or a page from which nothing arrives, for this long fails that page.
  int timeoutSeconds = 30;
  std::string keyword;  // as given, in the terminal's encoding (UTF-8)
};

struct CliParse {
  std::optional<CliOptions> options;
  std::string error;  // why the command line was refused, when options is empty
};

CliParse ParseCliOptions(const std::vector<std::string>& args);

extern const char* const kCliUsage;

}  // namespace korvane
