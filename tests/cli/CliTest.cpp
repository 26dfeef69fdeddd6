#include <gtest/gtest.h>

#include <sstream>

#include "cli/CliOptions.h"
#include "cli/RowFormat.h"
#include "cli/StreamControlPort.h"

namespace korvane {
namespace {

TEST(CliOptions, Accepted) {
  struct Case {
    std::vector<std::string> args;
    std::optional<std::string> site;
    bool json, demo;
    std::string keyword;
  };
  const Case cases[] = {
      {{"abc"}, std::nullopt, false, false, "abc"},
      {{"--json", "abc"}, std::nullopt, true, false, "abc"},
      {{"abc", "--demo"}, std::nullopt, false, true, "abc"},
      {{"--site", "http://127.0.0.1:81/", "abc"}, "http://127.0.0.1:81", false, false, "abc"},
      {{"--site=http://h", "x y"}, "http://h", false, false, "x y"},
      {{"--", "--json"}, std::nullopt, false, false, "--json"},
      {{"-"}, std::nullopt, false, false, "-"},
      {{""}, std::nullopt, false, false, ""},  // an empty keyword is a keyword
  };
  for (const auto& c : cases) {
    const auto parsed = ParseCliOptions(c.args);
    ASSERT_TRUE(parsed.options) << parsed.error;
    EXPECT_EQ(parsed.options->site, c.site);
    EXPECT_EQ(parsed.options->json, c.json);
    EXPECT_EQ(parsed.options->demo, c.demo);
    EXPECT_EQ(parsed.options->keyword, c.keyword);
  }
  const auto help = ParseCliOptions({"--help"});
  ASSERT_TRUE(help.options);
  EXPECT_TRUE(help.options->help);
}

TEST(CliOptions, Timeout) {
  struct Case {
    std::vector<std::string> args;
    int seconds;
  };
  const Case cases[] = {
      {{"abc"}, 30}, {{"--timeout", "1", "abc"}, 1}, {{"abc", "--timeout=3600"}, 3600}, {{"--timeout", "0042", "a"}, 42},
  };
  for (const auto& c : cases) {
    const auto parsed = ParseCliOptions(c.args);
    ASSERT_TRUE(parsed.options) << parsed.error;
    EXPECT_EQ(parsed.options->timeoutSeconds, c.seconds) << c.args[0];
  }
}

TEST(CliOptions, Refused) {
  const std::vector<std::vector<std::string>> cases = {
      {}, {"--json"}, {"a", "b"}, {"--site"}, {"--site", "/", "a"}, {"--bogus", "a"}, {"--demo", "--site", "http://h", "a"},
      {"--timeout"}, {"--timeout", "a"}, {"--timeout", "0", "a"}, {"--timeout", "3601", "a"}, {"--timeout=-1", "a"},
      {"--timeout", "1.5", "a"}, {"--timeout=", "a"},
  };
  for (const auto& args : cases) {
    const auto parsed = ParseCliOptions(args);
    EXPECT_FALSE(parsed.options) << (args.empty() ? "(none)" : args[0]);
    EXPECT_FALSE(parsed.error.empty());
  }
}

ResultRow Row(Text name) {
  return {std::move(name), "1.2 GB", "3", "2015-04-03", "magnet:?xt=urn:btih:ab"};
}

TEST(RowFormat, TabFieldsEscapedAndConverted) {
  EXPECT_EQ(FormatTabRow(Row("\xD6\xD0" "a\tb\\c\r\nd")),
            "\xE4\xB8\xAD" "a\\tb\\\\c\\r\\nd\t1.2 GB\t3\t2015-04-03\tmagnet:?xt=urn:btih:ab");
}

TEST(RowFormat, JsonIsEscapedUtf8) {
  EXPECT_EQ(FormatJsonRow(Row("\"q\" \\ \x01\t\xD6\xD0")),
            "{\"name\":\"\\\"q\\\" \\\\ \\u0001\\t\xE4\xB8\xAD\",\"size\":\"1.2 GB\",\"files\":\"3\","
            "\"date\":\"2015-04-03\",\"magnet\":\"magnet:?xt=urn:btih:ab\"}");
  // Bytes that are not valid 936 still give valid UTF-8 (U+FFFD).
  EXPECT_EQ(FormatJsonRow(Row("\x81")).substr(0, 13), "{\"name\":\"\xEF\xBF\xBD\"");
}

TEST(StreamControlPort, WritesRowsAsTheyArrive) {
  std::ostringstream out;
  StreamControlPort port("kw", out, false);
  EXPECT_EQ(port.ReadKeyword(), "kw");
  EXPECT_EQ(port.AppendResultRow(Row("a")), 0);
  EXPECT_EQ(out.str(), FormatTabRow(Row("a")) + "\n");
  // Cell by cell: written when the magnet link is set.
  const int index = port.AppendRow();
  EXPECT_EQ(index, 1);
  const ResultRow b = Row("b");
  port.SetCellText(index, 0, b.name);
  port.SetCellText(index, 1, b.size);
  port.SetCellText(index, 2, b.files);
  port.SetCellText(index, 3, b.date);
  EXPECT_EQ(port.RowsWritten(), 1);
  port.SetCellText(index, 4, b.magnet);
  EXPECT_EQ(port.RowsWritten(), 2);
  EXPECT_EQ(out.str(), FormatTabRow(Row("a")) + "\n" + FormatTabRow(b) + "\n");
  port.SetCellText(7, 4, "x");  // no such row
  EXPECT_EQ(port.RowsWritten(), 2);
}

}  // namespace
}  // namespace korvane
