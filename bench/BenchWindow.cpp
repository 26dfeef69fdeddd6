// Rows reaching the window through its ControlPort from a worker thread, as a search writes them,
// while the window's thread keeps answering: total time, the longest stall of the window's event
// loop, and the process's peak memory with the rows in the list.
//
// Targets: 10,000 rows in 1 s or less, no stall over 50 ms, peak memory 80 MB or less.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "app/MainWindow.h"
#include "resultlist/ResultList.h"
#include "search/ControlPort.h"
#include "search/ResultRow.h"

namespace {

constexpr int kRows = 10'000;

korvane::ResultRow MakeRow(int i) {
  const std::string n = std::to_string(i);
  // A typical result: a GBK name of Chinese and ASCII, the site's size, count and date texts.
  return {"\xCB\xD9\xB6\xC8\xD3\xEB\xBC\xA4\xC7\xE9" "7 Furious.7.2015.1080p.BluRay.x264-" + n, "2.35 GB", "3",
          "2015-04-03", "magnet:?xt=urn:btih:3f2a9c1d7e6b5a4f3e2d1c0b9a8f7e6d5c" + std::string(6 - std::min<std::size_t>(6, n.size()), '0') + n};
}

double PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in kilobytes
}

enum class Writes { kWholeRow, kAppendThenCells };

// Runs one batch of rows from a worker while the window's thread runs its loop; gives the
// worker's time and the longest gap between two ticks of a 1 ms timer on the window's thread.
void AppendThroughPort(benchmark::State& state, Writes writes) {
  for (auto _ : state) {
    korvane::MainWindow window([](int) { return true; });
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) state.SkipWithError("the window was not exposed");
    const auto port = window.Port();

    QElapsedTimer sinceTick;
    qint64 longestGapNs = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
      longestGapNs = std::max(longestGapNs, sinceTick.nsecsElapsed());
      sinceTick.restart();
    });

    std::atomic<bool> done{false};
    std::chrono::steady_clock::duration workerTime{};
    sinceTick.start();
    ticker.start();
    std::thread worker([&] {
      const auto start = std::chrono::steady_clock::now();
      for (int i = 0; i < kRows; ++i) {
        const korvane::ResultRow row = MakeRow(i);
        if (writes == Writes::kWholeRow) {
          port->AppendResultRow(row);
        } else {
          const int index = port->AppendRow();
          port->SetCellText(index, korvane::ResultList::kNameColumn, row.name);
          port->SetCellText(index, korvane::ResultList::kSizeColumn, row.size);
          port->SetCellText(index, korvane::ResultList::kFilesColumn, row.files);
          port->SetCellText(index, korvane::ResultList::kDateColumn, row.date);
          port->SetCellText(index, korvane::ResultList::kMagnetColumn, row.magnet);
        }
      }
      workerTime = std::chrono::steady_clock::now() - start;
      done = true;
    });
    while (!done) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    worker.join();
    // Let the view catch up with the last rows, and count that too.
    QCoreApplication::processEvents();
    ticker.stop();

    if (window.List().RowCount() != kRows) state.SkipWithError("rows were lost");
    state.SetIterationTime(std::chrono::duration<double>(workerTime).count());
    state.counters["longest_stall_ms"] = static_cast<double>(longestGapNs) / 1e6;
    state.counters["peak_rss_MB"] = PeakMegabytes();
  }
  state.counters["rows"] = kRows;
}

void BM_WholeRows(benchmark::State& state) { AppendThroughPort(state, Writes::kWholeRow); }
void BM_AppendThenCells(benchmark::State& state) { AppendThroughPort(state, Writes::kAppendThenCells); }

BENCHMARK(BM_WholeRows)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AppendThenCells)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
