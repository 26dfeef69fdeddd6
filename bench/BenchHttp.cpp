// 1,000 sequential fetches of a 100 KB page from a loopback server: FetchPageText as the search
// makes them (connections kept), WebRequest with the connection kept and with a fresh one per
// request, and one `curl` command that fetches the same 1,000 addresses (it keeps its
// connection too). Run: build/default/bench/bench_http --benchmark_repetitions=5
#include <benchmark/benchmark.h>
#include <httplib.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "http/WebRequest.h"

extern char** environ;

namespace {

constexpr int kRequests = 1000;
constexpr std::size_t kPageBytes = 100 * 1024;

int g_port = 0;

std::string PageUrl(int n) { return "http://127.0.0.1:" + std::to_string(g_port) + "/page/" + std::to_string(n) + ".html"; }

std::string MakePage() {
  const std::string block = "<li><a href=\"/read/3f2a9c1d7e6b5a4f3e2d1c0b9a8f7e6d5c4b3a29.html\">result</a></li>\n";
  std::string page;
  while (page.size() + block.size() <= kPageBytes) page += block;
  page.append(kPageBytes - page.size(), ' ');
  return page;
}

void BM_FetchPageText_KeptConnection(benchmark::State& state) {
  std::size_t bytes = 0;
  int n = 0;
  for (auto _ : state) bytes += korvane::FetchPageText(PageUrl(n++ % kRequests)).size();
  if (bytes != static_cast<std::size_t>(state.iterations()) * kPageBytes) state.SkipWithError("short page");
  state.counters["requests/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// WebRequest with the connection kept (state.range(0) == 1) or a fresh one for every request.
void BM_WebRequest(benchmark::State& state) {
  std::size_t bytes = 0;
  int n = 0;
  for (auto _ : state) {
    korvane::WebRequestArgs args;
    args.url = PageUrl(n++ % kRequests);
    args.keepConnection = state.range(0) == 1;
    bytes += korvane::WebRequest(args).size();
  }
  if (bytes != static_cast<std::size_t>(state.iterations()) * kPageBytes) state.SkipWithError("short page");
  state.counters["requests/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// One iteration is one `curl` run over all 1,000 addresses, listed in a config file.
void BM_CurlCommand(benchmark::State& state) {
  char configPath[] = "/tmp/korvane-bench-curl-XXXXXX";
  const int fd = ::mkstemp(configPath);
  if (fd < 0) {
    state.SkipWithError("no temporary file");
    return;
  }
  ::close(fd);
  {
    std::ofstream config(configPath);
    for (int n = 0; n < kRequests; ++n) config << "url = \"" << PageUrl(n) << "\"\noutput = \"/dev/null\"\n";
  }
  std::string configArg = configPath;
  std::vector<std::string> argv{"curl", "--silent", "--show-error", "--fail", "--noproxy", "*", "--config", configArg};
  std::vector<char*> raw;
  for (auto& arg : argv) raw.push_back(arg.data());
  raw.push_back(nullptr);
  for (auto _ : state) {
    pid_t pid = 0;
    if (::posix_spawnp(&pid, "curl", nullptr, nullptr, raw.data(), environ) != 0) {
      state.SkipWithError("curl not found");
      break;
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      state.SkipWithError("curl failed");
      break;
    }
  }
  std::remove(configPath);
  state.counters["requests/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kRequests, benchmark::Counter::kIsRate);
}

BENCHMARK(BM_FetchPageText_KeptConnection)->Iterations(kRequests)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WebRequest)->ArgName("kept")->Arg(1)->Arg(0)->Iterations(kRequests)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CurlCommand)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  httplib::Server server;
  const std::string page = MakePage();
  server.set_keep_alive_max_count(100000);
  server.Get(R"(/page/\d+\.html)", [&](const httplib::Request&, httplib::Response& response) {
    response.set_content(page, "text/html; charset=utf-8");
  });
  g_port = server.bind_to_any_port("127.0.0.1");
  if (g_port <= 0) return 1;
  std::thread serving([&] { server.listen_after_bind(); });
  while (!server.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));

  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  server.stop();
  serving.join();
  return 0;
}
