// Start-up costs of the skin: reading a skin file, a first run's install of the library (write,
// flush to disk, rename) and dressing the application in skin 2 through the loaded library.
#include <benchmark/benchmark.h>

#include <QApplication>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "skin/ApplySkin.h"
#include "skin/InstallSkinLibrary.h"
#include "skin/SkinCatalogue.h"
#include "skin/SkinLibraryImage.h"
#include "skinlib/SkinFile.h"

namespace {

namespace fs = std::filesystem;

void BM_ParseSkinFile(benchmark::State& state) {
  const auto skin = korvane::SkinCatalogue(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    auto parsed = korvane::ParseSkinFile(skin);
    benchmark::DoNotOptimize(parsed);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * skin.size()));
}
BENCHMARK(BM_ParseSkinFile)->Arg(2)->Arg(1);

fs::path ScratchDirectory() {
  std::string pattern = (fs::temp_directory_path() / "korvane-bench-XXXXXX").string();
  return ::mkdtemp(pattern.data()) ? fs::path(pattern) : fs::path();
}

void BM_InstallSkinLibraryFirstRun(benchmark::State& state) {
  const fs::path dir = ScratchDirectory();
  const fs::path target = dir / "SkinH_EL.dll";
  for (auto _ : state) {
    if (korvane::InstallSkinLibraryIn(dir) != korvane::SkinInstall::Written) state.SkipWithError("not written");
    state.PauseTiming();
    fs::remove(target);
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * korvane::SkinLibraryImage().size()));
  fs::remove_all(dir);
}
BENCHMARK(BM_InstallSkinLibraryFirstRun)->Unit(benchmark::kMicrosecond);

void BM_ApplySkinTwo(benchmark::State& state) {
  int argc = 1;
  char name[] = "bench_skin";
  char* argv[] = {name, nullptr};
  if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  const fs::path dir = ScratchDirectory();
  korvane::SkinLibrary library;
  for (auto _ : state) {
    if (!korvane::ApplySkinIn(dir, 2, library).attached) state.SkipWithError(library.Failure().c_str());
  }
  fs::remove_all(dir);
}
BENCHMARK(BM_ApplySkinTwo)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
