// The sample site on loopback: what one search's three requests cost, how closely its own
// delay holds, and whether a huge page really streams (peak memory while it is sent).
#include "sample-site/SampleSite.h"
#include "sample-site/SitePages.h"

#include <benchmark/benchmark.h>
#include <httplib.h>

#include <fstream>
#include <string>

namespace {

using korvane::site::FaultRule;
using korvane::site::PagePath;
using korvane::site::SampleSite;

const std::string kKeyword = "速度与激情7";

// Peak resident memory in KiB since the last ResetPeakRss.
long PeakRssKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

void ResetPeakRss() { std::ofstream("/proc/self/clear_refs") << "5"; }

// First page, page 1 and page 2, as a search with N = 2 asks for them. Arg 0: the site's delay
// per answer in ms; arg 1: 1 to reuse one connection, 0 for a new one per request.
void BM_SearchRequests(benchmark::State& state) {
  SampleSite site;
  if (!site.Start()) {
    state.SkipWithError(site.Error().c_str());
    return;
  }
  const int delay = static_cast<int>(state.range(0));
  if (delay > 0) site.AddRule(FaultRule{{}, korvane::site::Fault::None, 0, delay});
  const bool reuse = state.range(1) != 0;
  httplib::Client shared("127.0.0.1", site.Port());
  shared.set_keep_alive(true);
  size_t bytes = 0;
  for (auto _ : state) {
    for (int page : {0, 1, 2}) {
      httplib::Client fresh("127.0.0.1", site.Port());
      auto& client = reuse ? shared : fresh;
      const auto r = client.Get(PagePath(kKeyword, page).c_str());
      if (!r || r->status != 200) {
        state.SkipWithError("request failed");
        return;
      }
      bytes += r->body.size();
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(bytes));
  state.counters["delay_ms"] = delay;
}
BENCHMARK(BM_SearchRequests)
    ->Args({0, 1})
    ->Args({0, 0})
    ->Args({50, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The default 100 MiB page, read and dropped by the client in the same process: the peak
// memory growth covers both sides, and stays far below the page's size when it streams.
void BM_HugePage(benchmark::State& state) {
  SampleSite site;
  if (!site.Start()) {
    state.SkipWithError(site.Error().c_str());
    return;
  }
  httplib::Client client("127.0.0.1", site.Port());
  const std::string path = PagePath("abc#fault=huge", 1);
  long growthKiB = 0;
  uint64_t total = 0;
  for (auto _ : state) {
    ResetPeakRss();
    const long before = PeakRssKiB();
    uint64_t received = 0;
    const auto r = client.Get(path.c_str(), [&](const char*, size_t n) {
      received += n;
      return true;
    });
    if (!r) {
      state.SkipWithError("request failed");
      return;
    }
    growthKiB = std::max(growthKiB, PeakRssKiB() - before);
    total += received;
  }
  state.SetBytesProcessed(static_cast<int64_t>(total));
  state.counters["peak_rss_growth_MiB"] = static_cast<double>(growthKiB) / 1024.0;
}
BENCHMARK(BM_HugePage)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_RenderPage(benchmark::State& state) {
  const auto plan = korvane::site::ParseKeyword(kKeyword);
  const korvane::site::PageAddress page{kKeyword, true, 1};
  for (auto _ : state) {
    auto html = korvane::site::RenderPage(plan, page);
    benchmark::DoNotOptimize(html.data());
  }
}
BENCHMARK(BM_RenderPage)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
