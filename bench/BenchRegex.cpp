// The result-row pattern on a result page of 10,000 blocks (about 4.7 MB of UTF-8):
// - BM_MatchRun: the engine alone on the page's UTF-16 text (what Node's matchAll does);
// - BM_CutResultRows: decoded page (936) to rows: conversion, match run, capture texts;
// - BM_PagePipeline: page bytes to rows, as the search does it: UrlDecode with toLocal, then
//   CutResultRows;
// plus the conversions on their own, to show where the time goes.
//
// bench/regex_vs_node.mjs runs this side by side with Node. For it, `--write-page=FILE` writes
// the page bytes and `--print-pattern` the pattern (UTF-8), then exit.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

#include "regex/CompiledRegex.h"
#include "regex/RegexObject.h"
#include "search/PageRules.h"
#include "search/TextCodecs.h"
#include "text/CodePage.h"

namespace {

constexpr int kBlocks = 10'000;

std::string Hash(int i) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  unsigned x = 2166136261u ^ static_cast<unsigned>(i);
  for (int k = 0; k < 40; ++k) {
    x = x * 16777619u + 0x9E3779B9u;
    out += kHex[(x >> 13) & 0xF];
  }
  return out;
}

// The site's layout, in UTF-8, with percent-encoded links as the site writes them.
const std::string& Page() {
  static const std::string page = [] {
    std::string out =
        "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>\xE9\x80\x9F\xE5\xBA\xA6</title></head>\n"
        "<body>\n<ul class=\"list\">\n";
    for (int i = 0; i < kBlocks; ++i) {
      const std::string hash = Hash(i);
      out += "<li><div class=\"T1\"><a href=\"/read/" + hash + ".html\" target=\"_blank\">"
             "\xE9\x80\x9F\xE5\xBA\xA6\xE4\xB8\x8E\xE6\xBF\x80\xE6\x83\x85" + std::to_string(i % 9 + 1) +
             " Furious7-" + std::to_string(i) + "</a></div>\n"
             "\t\t    <dl class=\"BotInfo\">\n\n"
             "<dt>\xE5\xA4\xA7\xE5\xB0\x8F:<span>" + std::to_string(1 + i % 7) + ".35 GB  </span> "
             "&nbsp;&nbsp;&nbsp;&nbsp;\xE6\x96\x87\xE4\xBB\xB6\xE6\x95\xB0:<span>" + std::to_string(1 + i % 30) +
             " </span> &nbsp;&nbsp;&nbsp;&nbsp;\xE5\x88\x9B\xE5\xBB\xBA\xE6\x97\xA5\xE6\x9C\x9F:<span> \n"
             "<span class=\"ctime\">2015-04-0" + std::to_string(1 + i % 9) + "</span>\n"
             "<dd><a href=\"/word/%E9%80%9F_" + std::to_string(1 + i % 3) + ".html\">"
             "\xE7\xA3\x81</a><a href=\"magnet:?xt=urn:btih:" + hash + "\">"
             "\xE9\x93\xBE\xE6\x8E\xA5</a></div>\n</dl></li>\n";
    }
    out += "</ul>\n</body></html>\n";
    return out;
  }();
  return page;
}

const std::string& DecodedPage() {
  static const std::string decoded = korvane::UrlDecode(Page(), true);
  return decoded;
}

void CheckRows(benchmark::State& state, std::size_t rows) {
  if (rows != kBlocks) state.SkipWithError("wrong number of rows");
}

void BM_MatchRun(benchmark::State& state) {
  const auto regex = korvane::CompiledRegex::Compile(korvane::LocalToUtf16(korvane::ResultRowPattern), true, true);
  const std::u16string subject = korvane::LocalToUtf16(DecodedPage());
  korvane::MatchScratch scratch;
  if (!regex) return state.SkipWithError("pattern refused");
  for (auto _ : state) {
    auto matches = regex->Run(subject, true, scratch);
    benchmark::DoNotOptimize(matches);
    CheckRows(state, matches ? matches->Count() : 0);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Page().size()));
}
BENCHMARK(BM_MatchRun)->Unit(benchmark::kMillisecond);

void BM_CutResultRows(benchmark::State& state) {
  korvane::RegexObject regex;
  const std::string& page = DecodedPage();
  for (auto _ : state) {
    auto rows = korvane::CutResultRows(regex, page);
    benchmark::DoNotOptimize(rows.data());
    CheckRows(state, rows.size());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Page().size()));
}
BENCHMARK(BM_CutResultRows)->Unit(benchmark::kMillisecond);

void BM_PagePipeline(benchmark::State& state) {
  korvane::RegexObject regex;
  const std::string& bytes = Page();
  for (auto _ : state) {
    auto rows = korvane::CutResultRows(regex, korvane::UrlDecode(bytes, true));
    benchmark::DoNotOptimize(rows.data());
    CheckRows(state, rows.size());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Page().size()));
}
BENCHMARK(BM_PagePipeline)->Unit(benchmark::kMillisecond);

// Translation, PCRE2 compilation and JIT compilation of the row pattern, which every Create does.
void BM_CompileRowPattern(benchmark::State& state) {
  const std::u16string pattern = korvane::LocalToUtf16(korvane::ResultRowPattern);
  for (auto _ : state) {
    auto regex = korvane::CompiledRegex::Compile(pattern, true, true);
    benchmark::DoNotOptimize(regex);
  }
}
BENCHMARK(BM_CompileRowPattern)->Unit(benchmark::kMicrosecond);

void BM_LocalToUtf16(benchmark::State& state) {
  const std::string& page = DecodedPage();
  for (auto _ : state) {
    auto wide = korvane::LocalToUtf16(page);
    benchmark::DoNotOptimize(wide.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_LocalToUtf16)->Unit(benchmark::kMillisecond);

// The general ICU path that LocalToUtf16's table replaces, for comparison.
void BM_MultiByteToWide936(benchmark::State& state) {
  const std::string& page = DecodedPage();
  for (auto _ : state) {
    auto wide = korvane::MultiByteToWide(korvane::kCodePage936, page);
    benchmark::DoNotOptimize(wide.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_MultiByteToWide936)->Unit(benchmark::kMillisecond);

void BM_UrlDecodeToLocal(benchmark::State& state) {
  const std::string& bytes = Page();
  for (auto _ : state) {
    auto text = korvane::UrlDecode(bytes, true);
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_UrlDecodeToLocal)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("--write-page=", 0) == 0) {
      std::ofstream out(arg.substr(13), std::ios::binary);
      out << Page();
      return out ? 0 : 1;
    }
    if (arg == "--print-pattern") {
      std::cout << korvane::LocalToUtf8(korvane::ResultRowPattern);
      return std::cout ? 0 : 1;
    }
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  std::fprintf(stderr, "page: %zu bytes, %d result blocks\n", Page().size(), kBlocks);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
