// Runs the program's own start and end around a search thread that keeps calling the window, and
// ends the window while that thread waits on it: `close` closes the window, `quit` ends the event
// loop with the window still open. Prints how many calls were waiting at that moment.
#include <QApplication>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "app/MainWindow.h"
#include "app/StartUp.h"
#include "search/ControlPort.h"
#include "search/ResultRow.h"

int main(int argc, char** argv) {
  const bool close = argc > 1 && std::strcmp(argv[1], "close") == 0;
  QApplication application(argc, argv);
  korvane::MainWindow window([](int) { return true; });
  window.show();

  std::thread([port = window.Port()] {
    for (;;) port->AppendResultRow({"name", "1 GB", "1", "2015-04-03", "magnet:?xt=urn:btih:00"});
  }).detach();

  QTimer::singleShot(0, &window, [&window, close] {
    // Busy until the search thread is seen waiting on the window.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (window.WaitingCalls() == 0 && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::printf("waiting %zu\n", window.WaitingCalls());
    if (close)
      window.close();
    else
      QCoreApplication::quit();
  });
  korvane::EndProcess(QApplication::exec());
}
