// korvane-search as a user runs it: a process, its output, its exit status.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "cli/RowFormat.h"
#include "sample-site/SampleSite.h"
#include "support/ListedRows.h"
#include "sample-site/SitePages.h"
#include "search/TextCodecs.h"
#include "support/HostileModes.h"

namespace korvane {
namespace {

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

std::string ReadAll(int fd) {
  std::string data;
  char buffer[4096];
  ssize_t n;
  while ((n = read(fd, buffer, sizeof buffer)) > 0) data.append(buffer, static_cast<std::size_t>(n));
  return data;
}

// Runs korvane-search with `args`, no shell in between.
Outcome RunSearch(const std::vector<std::string>& args) {
  char outName[] = "/tmp/korvane-cli-outXXXXXX";
  char errName[] = "/tmp/korvane-cli-errXXXXXX";
  const int outFd = mkstemp(outName);
  const int errFd = mkstemp(errName);
  unlink(outName);
  unlink(errName);
  std::vector<std::string> argv{KORVANE_SEARCH_PROGRAM};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> raw;
  for (auto& a : argv) raw.push_back(a.data());
  raw.push_back(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(outFd, 1);
    dup2(errFd, 2);
    execv(raw[0], raw.data());
    _exit(127);
  }
  Outcome o;
  int status = 0;
  waitpid(pid, &status, 0);
  o.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  lseek(outFd, 0, SEEK_SET);
  lseek(errFd, 0, SEEK_SET);
  o.out = ReadAll(outFd);
  o.err = ReadAll(errFd);
  close(outFd);
  close(errFd);
  return o;
}

std::string ExpectedOutput(const std::string& keyword, std::initializer_list<int> pages, bool json) {
  std::string out;
  for (const int p : pages) {
    for (const auto& row : testing::ListedRows(keyword, {p})) out += (json ? FormatJsonRow(row) : FormatTabRow(row)) + "\n";
  }
  return out;
}

class CliEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(site.Start(0)) << site.Error(); }
  site::SampleSite site;
};

TEST_F(CliEndToEnd, RowsInListOrder) {
  const std::string keyword = "\xE9\x80\x9F\xE5\xBA\xA6\xE4\xB8\x8E\xE6\xBF\x80\xE6\x83\x85" "7";  // 速度与激情7
  const auto tab = RunSearch({"--site", site.BaseAddress(), keyword});
  EXPECT_EQ(tab.status, 0) << tab.err;
  EXPECT_EQ(tab.out, ExpectedOutput(keyword, {1, 2}, false));
  EXPECT_NE(tab.err.find("announces 2 page"), std::string::npos) << tab.err;
  const auto json = RunSearch({"--json", "--site", site.BaseAddress(), keyword});
  EXPECT_EQ(json.status, 0);
  EXPECT_EQ(json.out, ExpectedOutput(keyword, {1, 2}, true));
}

TEST_F(CliEndToEnd, NoRowsIsStillASearch) {
  const auto o = RunSearch({"--site", site.BaseAddress(), "kw#pages=0"});
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out, "");
}

TEST_F(CliEndToEnd, DemoSearchesTheBuiltInSite) {
  const auto o = RunSearch({"--demo", "kw#pages=1"});
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out, ExpectedOutput("kw#pages=1", {1}, false));
}

TEST_F(CliEndToEnd, HostileSiteIsReported) {
  using hostile::Outcome;
  const std::string timeout = std::to_string(hostile::kNoProgressTimeoutMs / 1000);
  for (const auto& mode : hostile::kModes) {
    for (const bool first : {true, false}) {
      const std::string keyword = hostile::Keyword(mode, first);
      SCOPED_TRACE(std::string(mode.name) + (first ? " on the first page" : " on page 1"));
      const auto o = RunSearch({"--timeout", timeout, "--site", site.BaseAddress(), keyword});
      const Outcome outcome = hostile::OutcomeOn(mode, first);

      std::string expected;
      for (const int page : hostile::PagesKept(mode, first)) {
        for (const auto& r : hostile::ShownRows(mode, first, page)) expected += FormatTabRow(testing::ListedRow(r)) + "\n";
      }
      EXPECT_EQ(o.out, expected);
      // Without the first page there is no search: exit 1 and the reason; otherwise the search
      // ran, whatever became of a numbered page.
      const bool noSearch = first && hostile::GivesNothing(outcome);
      EXPECT_EQ(o.status, noSearch ? 1 : 0) << o.err;
      if (outcome != Outcome::Read) {
        EXPECT_NE(o.err.find(mode.says), std::string::npos) << o.err;
      }
      if (noSearch) {
        const char* why = outcome == Outcome::Fails ? "could not be reached" : "did not give the first page";
        EXPECT_NE(o.err.find(why), std::string::npos) << o.err;
      } else {
        EXPECT_NE(o.err.find(std::to_string(std::count(expected.begin(), expected.end(), '\n')) + " result(s)\n"),
                  std::string::npos)
            << o.err;
      }
    }
  }
}

TEST(CliErrors, ExitStatuses) {
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* errorHas;
  };
  const Case cases[] = {
      {{}, 2, "no keyword"},
      {{"--bogus", "x"}, 2, "unknown option"},
      {{"\xE0\xB8\x81"}, 2, "code page 936"},            // Thai ก: 936 has no such character
      {{"\xFF"}, 2, "code page 936"},                     // not UTF-8
      {{"--site", "http://127.0.0.1:1", "x"}, 1, "could not be reached"},
      {{"--help"}, 0, ""},
  };
  for (const auto& c : cases) {
    const auto o = RunSearch(c.args);
    EXPECT_EQ(o.status, c.status) << (c.args.empty() ? "(none)" : c.args[0]) << "\n" << o.err;
    EXPECT_NE(o.err.find(c.errorHas), std::string::npos) << o.err;
  }
  EXPECT_NE(RunSearch({"--help"}).out.find("usage: korvane-search"), std::string::npos);
}

}  // namespace
}  // namespace korvane
