// A whole search with N = 2 (the first page, page 1, page 2) against the sample site, each answer
// held back 100 ms: one round trip of 50 ms each way. Time from the start to the last row, against
// the floor of three request round trips (300 ms) and the limit of one connect plus three round
// trips (400 ms). The connect itself is not slowed here: loopback has no way to, short of netem.
#include <benchmark/benchmark.h>

#include <chrono>

#include "http/WebRequest.h"
#include "sample-site/SampleSite.h"
#include "search/SearchWorker.h"
#include "search/TextCodecs.h"

namespace {

class LastRowClock : public korvane::ControlPort {
 public:
  explicit LastRowClock(korvane::Text keyword) : keyword_(std::move(keyword)) {}
  korvane::Text ReadKeyword() override { return keyword_; }
  void ClearRows() override {}
  int AppendRow() override { return rows++; }
  void SetCellText(int, int, const korvane::Text&) override {}
  int AppendResultRow(const korvane::ResultRow&) override {
    last = std::chrono::steady_clock::now();
    return rows++;
  }
  int rows = 0;
  std::chrono::steady_clock::time_point last;

 private:
  korvane::Text keyword_;
};

void BM_SearchTwoPagesAt50msEachWay(benchmark::State& state) {
  korvane::site::SampleSite site;
  if (!site.Start(0)) {
    state.SkipWithError("the sample site did not start");
    return;
  }
  // 速度与激情7 announces two pages.
  const korvane::Text keyword =
      korvane::Utf8ToLocal("\xE9\x80\x9F\xE5\xBA\xA6\xE4\xB8\x8E\xE6\xBF\x80\xE6\x83\x85" "7#delay=100");
  for (auto _ : state) {
    korvane::ClearCookieStore();
    LastRowClock port(keyword);
    korvane::SearchJob job;
    job.port = &port;
    job.siteBase = site.BaseAddress();
    job.fetch = korvane::FetchPage;
    const auto start = std::chrono::steady_clock::now();
    korvane::SearchWorker(job);
    if (port.rows == 0) state.SkipWithError("no rows");
    state.SetIterationTime(std::chrono::duration<double>(port.last - start).count());
  }
}
BENCHMARK(BM_SearchTwoPagesAt50msEachWay)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
