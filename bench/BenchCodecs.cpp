// UrlDecode with toLocal on a result page of about 4.7 MB: Chinese and ASCII, scattered %XX.
#include <benchmark/benchmark.h>

#include <string>

#include "search/TextCodecs.h"

namespace {

std::string MakePage(std::size_t targetBytes) {
  // One result block of mixed text, UTF-8, with a percent-encoded link in it.
  const std::string block =
      "<li><div class=\"T1\"><a href=\"/read/3f2a9c1d7e6b5a4f3e2d1c0b9a8f7e6d5c4b3a29.html\" target=\"_blank\">"
      "\xE9\x80\x9F\xE5\xBA\xA6\xE4\xB8\x8E\xE6\xBF\x80\xE6\x83\x85" "7 Furious.7.2015.1080p.BluRay</a></div>\n"
      "\t\t    <dl class=\"BotInfo\">\n\n<dt>\xE5\xA4\xA7\xE5\xB0\x8F:<span>2.35 GB  </span> &nbsp;&nbsp;&nbsp;&nbsp;"
      "\xE6\x96\x87\xE4\xBB\xB6\xE6\x95\xB0:<span>3 </span> &nbsp;&nbsp;&nbsp;&nbsp;"
      "\xE5\x88\x9B\xE5\xBB\xBA\xE6\x97\xA5\xE6\x9C\x9F:<span> \n<span class=\"ctime\">2015-04-03</span>"
      "<a href=\"/word/%E9%80%9F%E5%BA%A6_2.html\">2</a></div>\n";
  std::string page;
  page.reserve(targetBytes + block.size());
  while (page.size() < targetBytes) page += block;
  return page;
}

void BM_UrlDecodeToLocal(benchmark::State& state) {
  const std::string page = MakePage(4'700'000);
  for (auto _ : state) {
    auto text = korvane::UrlDecode(page, true);
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_UrlDecodeToLocal)->Unit(benchmark::kMillisecond);

void BM_Utf8ToLocal(benchmark::State& state) {
  const std::string page = MakePage(4'700'000);
  for (auto _ : state) {
    auto text = korvane::Utf8ToLocal(page);
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_Utf8ToLocal)->Unit(benchmark::kMillisecond);

void BM_UrlDecodeOnly(benchmark::State& state) {
  const std::string page = MakePage(4'700'000);
  for (auto _ : state) {
    auto text = korvane::UrlDecode(page, false);
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_UrlDecodeOnly)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
