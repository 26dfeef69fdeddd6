// Korvane: search one torrent site for a keyword and list every result with its magnet link.
#include <QApplication>
#include <QWindow>

#include <cstdlib>
#include <optional>

#include "app/MainWindow.h"
#include "skin/RunDirectory.h"
#include "app/StartUp.h"

int main(int argc, char** argv) {
  korvane::EnterRunDirectory();

  std::optional<korvane::StartFailureGuard> startGuard(std::in_place);
  QApplication application(argc, argv);
  korvane::MainWindow window;
  // A skin library that cannot be loaded has been reported; the window is never shown.
  if (!window.SkinApplied()) korvane::EndProcess(EXIT_FAILURE);
  window.winId();  // the platform window, made now so that a failure stops us before anything shows
  if (!window.windowHandle() || !window.windowHandle()->handle())
    korvane::ReportStartFailure("The platform did not make the window.");
  window.show();
  startGuard.reset();

  // Closing the window ends the event loop with 0, and the program at once: searches that still
  // run, or wait on the window, end with it.
  korvane::EndProcess(QApplication::exec());
}
