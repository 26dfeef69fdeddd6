#include "resultlist/OpenAddress.h"

#include <QProcess>

#include <mutex>
#include <utility>

#include "resultlist/WidgetText.h"

namespace korvane {
namespace {

std::mutex& StarterMutex() {
  static std::mutex mutex;
  return mutex;
}

ProgramStarter& CurrentStarter() {
  static ProgramStarter starter = StartDetached;
  return starter;
}

}  // namespace

void StartDetached(const QString& program, const QStringList& arguments) {
  // QProcess starts the program through a double fork and reaps the intermediate child itself.
  QProcess::startDetached(program, arguments);
}

ProgramStarter SetProgramStarter(ProgramStarter starter) {
  if (!starter) starter = StartDetached;
  const std::lock_guard lock(StarterMutex());
  return std::exchange(CurrentStarter(), std::move(starter));
}

void OpenAddress(const Text& address) {
  if (address.empty()) return;
  ProgramStarter starter;
  {
    const std::lock_guard lock(StarterMutex());
    starter = CurrentStarter();
  }
  starter(QString::fromLatin1(kUrlOpener), QStringList{ToWidgetText(address)});
}

}  // namespace korvane
