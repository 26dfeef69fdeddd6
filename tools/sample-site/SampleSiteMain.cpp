// korvane-sample-site: the sample search site as a program of its own.
#include "sample-site/SampleSite.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>

namespace {

constexpr const char* kUsage =
    "Usage: korvane-sample-site [--port N] [--host ADDRESS]\n"
    "Serves the sample search site until interrupted (SIGINT or SIGTERM).\n"
    "  --port N        port to listen on, 0 (the default) for any free one\n"
    "  --host ADDRESS  loopback address to bind (default 127.0.0.1; also ::1, localhost)\n"
    "Prints the site's base address on standard output once it listens.\n"
    "Keywords steer the site: \"WORDS#pages=N\", \"#rows=R\", \"#emptyhash=K\",\n"
    "\"#fault=MODE[:ARG][@PAGE]\", \"#delay=MS[@PAGE]\" (MODE: 404, 500, status, cut, reset,\n"
    "trickle, badutf8, huge, redirect, backtrack; PAGE: first, numbered, all or a number).\n";

bool ParsePort(std::string_view text, int& port) {
  if (text.empty() || text.size() > 5) return false;
  int value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  if (value > 65535) return false;
  port = value;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int port = 0;
  std::string host = "127.0.0.1";
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::cout << kUsage;
      return 0;
    }
    if ((arg == "--port" || arg == "--host") && i + 1 < argc) {
      const std::string_view value = argv[++i];
      if (arg == "--host") {
        host = std::string(value);
      } else if (!ParsePort(value, port)) {
        std::cerr << "korvane-sample-site: not a port: " << value << "\n";
        return 2;
      }
      continue;
    }
    std::cerr << "korvane-sample-site: unknown argument: " << arg << "\n" << kUsage;
    return 2;
  }

  // The serving threads inherit this mask, so the signals reach only the sigwait below.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  korvane::site::SampleSite site;
  if (!site.Start(port, host)) {
    std::cerr << "korvane-sample-site: " << site.Error() << "\n";
    return 1;
  }
  std::cout << site.BaseAddress() << std::endl;

  int received = 0;
  sigwait(&stopSignals, &received);
  site.Stop();
  std::cerr << "korvane-sample-site: stopped by " << strsignal(received) << "\n";
  return 0;
}
