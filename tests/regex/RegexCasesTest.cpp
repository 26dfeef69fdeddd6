// The engine against Node.js's ECMAScript engine: every case of regex_cases.jsonl (written by
// tests/data/gen_regex_cases.mjs) must give the same matches, indexes, captures and replacement,
// first on UTF-16 text and then, where the case's texts exist in code page 936, through the
// RegexObject on local texts with byte positions.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "JsonValue.h"
#include "regex/CompiledRegex.h"
#include "regex/RegexObject.h"
#include "text/CodePage.h"

namespace korvane {
namespace {

using testing::JsonReader;
using testing::JsonValue;

struct RegexCase {
  int line = 0;
  JsonValue record;
};

void PrintTo(const RegexCase& c, std::ostream* os) { *os << "regex_cases.jsonl line " << c.line; }

std::vector<RegexCase> LoadCases() {
  std::vector<RegexCase> cases;
  std::ifstream in(std::string(KORVANE_TEST_DATA) + "/regex_cases.jsonl");
  std::string text;
  int line = 0;
  while (std::getline(in, text)) {
    ++line;
    if (text.empty() || text[0] == '#') continue;
    auto record = JsonReader(text).Read();
    if (!record) {
      ADD_FAILURE() << "regex_cases.jsonl line " << line << " does not parse";
      continue;
    }
    cases.push_back({line, std::move(*record)});
  }
  return cases;
}

std::string Printable(const std::u16string& s) {
  std::string out;
  for (const char16_t c : s) {
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char buffer[12];
      std::snprintf(buffer, sizeof buffer, "\\u%04X", static_cast<unsigned>(c));
      out += buffer;
    }
  }
  return out;
}

// The local form of a UTF-16 text, when code page 936 holds it exactly.
std::optional<Text> Local(const std::u16string& s) {
  Text local = WideToMultiByte(kCodePage936, s);
  if (MultiByteToWide(kCodePage936, local) != s || local.find('\0') != Text::npos) return std::nullopt;
  return local;
}

class RegexCases : public ::testing::TestWithParam<RegexCase> {};

TEST_P(RegexCases, MatchesAsNode) {
  const JsonValue& r = GetParam().record;
  const std::u16string& pattern = r["p"].string;
  const std::u16string& flags = r["f"].string;
  const std::u16string& subject = r["s"].string;
  const bool ignoreCase = flags.find(u'i') != std::u16string::npos;
  const bool multiline = flags.find(u'm') != std::u16string::npos;
  const bool global = flags.find(u'g') != std::u16string::npos;
  SCOPED_TRACE("line " + std::to_string(GetParam().line) + ": /" + Printable(pattern) + "/" +
               Printable(flags) + " on \"" + Printable(subject) + "\"");

  const auto regex = CompiledRegex::Compile(pattern, ignoreCase, multiline);
  if (r.Has("error")) {
    EXPECT_FALSE(regex.has_value()) << "refused by ECMAScript, accepted here";
    RegexObject object;
    if (const auto local = Local(pattern)) {
      EXPECT_FALSE(object.Create(*local, "abc"));
      EXPECT_EQ(object.MatchCount(), 0);
    }
    return;
  }
  ASSERT_TRUE(regex.has_value()) << "accepted by ECMAScript, refused here";
  MatchScratch scratch;
  const auto run = regex->Run(subject, global, scratch);
  ASSERT_TRUE(run.has_value());

  const auto& expected = r["m"].array;
  ASSERT_EQ(run->Count(), expected.size());
  for (std::size_t m = 0; m < expected.size(); ++m) {
    const JsonValue& e = expected[m];
    const auto index = static_cast<std::uint32_t>(e[0].number);
    EXPECT_EQ(run->Start(m, 0), index) << "match " << m;
    EXPECT_EQ(run->End(m, 0), index + e[1].string.size()) << "match " << m;
    const auto& groups = e[2].array;
    ASSERT_EQ(run->GroupCount(), static_cast<int>(groups.size()));
    for (std::size_t k = 0; k < groups.size(); ++k) {
      const int group = static_cast<int>(k) + 1;
      if (groups[k].IsNull()) {
        EXPECT_FALSE(run->IsSet(m, group)) << "match " << m << " group " << group;
        continue;
      }
      ASSERT_TRUE(run->IsSet(m, group)) << "match " << m << " group " << group;
      const auto start = run->Start(m, group);
      EXPECT_EQ(start, static_cast<std::uint32_t>(groups[k][1].number)) << "match " << m << " group " << group;
      EXPECT_EQ(subject.substr(start, run->End(m, group) - start), groups[k][0].string)
          << "match " << m << " group " << group;
    }
  }
  if (r.Has("r")) {
    const auto replaced = ReplaceMatches(subject, *run, r["r"].string);
    ASSERT_TRUE(replaced.has_value());
    EXPECT_EQ(Printable(*replaced), Printable(r["out"].string));
  }

  // The same case on local texts, when they exist in code page 936.
  const auto localPattern = Local(pattern);
  const auto localSubject = Local(subject);
  if (!localPattern || !localSubject) return;
  RegexObject object;
  ASSERT_TRUE(object.Create(*localPattern, *localSubject,
                            {.caseSensitive = !ignoreCase, .multiline = multiline, .global = global}));
  ASSERT_EQ(object.MatchCount(), static_cast<int>(expected.size()));
  for (std::size_t m = 0; m < expected.size(); ++m) {
    const JsonValue& e = expected[m];
    const int n = static_cast<int>(m) + 1;
    int position = -1;
    EXPECT_EQ(object.MatchText(n, &position), Utf16ToLocal(e[1].string)) << "match " << n;
    const auto index = static_cast<std::size_t>(e[0].number);
    EXPECT_EQ(position, static_cast<int>(WideToMultiByte(kCodePage936, subject.substr(0, index)).size()))
        << "match " << n;
    const auto& groups = e[2].array;
    for (std::size_t k = 0; k < groups.size(); ++k) {
      const int group = static_cast<int>(k) + 1;
      EXPECT_EQ(object.SubmatchText(n, group, &position),
                groups[k].IsNull() ? Text() : WideToMultiByte(kCodePage936, groups[k][0].string))
          << "match " << n << " group " << group;
      const int expectedPosition =
          groups[k].IsNull() ? -2
                             : static_cast<int>(
                                   WideToMultiByte(kCodePage936, subject.substr(0, static_cast<std::size_t>(groups[k][1].number)))
                                       .size());
      EXPECT_EQ(position, expectedPosition) << "match " << n << " group " << group;
    }
  }
  if (r.Has("r")) {
    if (const auto localReplacement = Local(r["r"].string)) {
      EXPECT_EQ(object.Replace(*localReplacement), WideToMultiByte(kCodePage936, r["out"].string));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Node, RegexCases, ::testing::ValuesIn(LoadCases()),
                         [](const ::testing::TestParamInfo<RegexCase>& param) {
                           return "line" + std::to_string(param.param.line);
                         });

}  // namespace
}  // namespace korvane
