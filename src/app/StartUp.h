#pragma once
// Start-up and end of the program, shared by main() and the tests that run the program's path.
#include <QtGlobal>

#include <string>

namespace korvane {

// Writes the report that the main window could not be created, with its reason, and ends the
// program with status 1.
[[noreturn]] void ReportStartFailure(const std::string& reason);

// While one exists, a fatal message of the toolkit (no display, no platform plugin) becomes the
// start failure report, with exit status 1, instead of an abort.
class StartFailureGuard {
 public:
  StartFailureGuard();
  ~StartFailureGuard();
  StartFailureGuard(const StartFailureGuard&) = delete;
  StartFailureGuard& operator=(const StartFailureGuard&) = delete;

 private:
  QtMessageHandler previous_;
};

// Ends the process with `code` at once, output flushed. No destructor runs: a search thread may
// still be waiting on the window, and the toolkit must not be torn down under it.
[[noreturn]] void EndProcess(int code);

}  // namespace korvane
