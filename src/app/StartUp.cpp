#include "app/StartUp.h"

#include <QString>

#include <cstdio>
#include <cstdlib>

namespace korvane {
namespace {

QtMessageHandler g_passOn = nullptr;

void StartMessageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtFatalMsg) ReportStartFailure(message.toStdString());
  if (g_passOn) {
    g_passOn(type, context, message);
  } else {
    const QString line = qFormatLogMessage(type, context, message);
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
  }
}

}  // namespace

void ReportStartFailure(const std::string& reason) {
  std::fprintf(stderr, "Korvane: the main window could not be created.\n");
  if (!reason.empty()) std::fprintf(stderr, "%s\n", reason.c_str());
  EndProcess(EXIT_FAILURE);
}

StartFailureGuard::StartFailureGuard() : previous_(qInstallMessageHandler(StartMessageHandler)) {
  g_passOn = previous_;
}

StartFailureGuard::~StartFailureGuard() {
  qInstallMessageHandler(previous_);
  g_passOn = nullptr;
}

void EndProcess(int code) {
  std::fflush(stdout);
  std::fflush(stderr);
  std::_Exit(code);
}

}  // namespace korvane
