#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "skin/RunDirectory.h"

namespace korvane {
namespace {

TEST(RunDirectory, IsTheProgramsDirectoryWithoutTrailingSlash) {
  struct Case {
    std::string program, directory;
  };
  const Case cases[] = {
      {"/usr/bin/korvane", "/usr/bin"},
      {"/opt/a b/\xE9\x80\x9F/korvane", "/opt/a b/\xE9\x80\x9F"},
      {"/korvane", ""},
      {"/opt/korvane/korvane (deleted)", "/opt/korvane"},
  };
  for (const Case& c : cases) EXPECT_EQ(RunDirectoryOf(c.program), c.directory) << c.program;
  const auto here = RunDirectory();
  ASSERT_TRUE(here.has_value());
  EXPECT_EQ(QString::fromStdString(*here), QCoreApplication::applicationDirPath());
}

QProcessEnvironment Environment() {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  return environment;
}

TEST(StartUp, ProgramWorksInItsRunDirectoryAndShowsItsWindow) {
  QProcess program;
  program.setProcessEnvironment(Environment());
  program.setWorkingDirectory(QDir::tempPath());
  program.start(QStringLiteral(KORVANE_PROGRAM), {});
  ASSERT_TRUE(program.waitForStarted(10'000));
  const std::string cwd = "/proc/" + std::to_string(program.processId()) + "/cwd";
  const std::string expected = QFileInfo(QStringLiteral(KORVANE_PROGRAM)).absolutePath().toStdString();
  EXPECT_TRUE(QTest::qWaitFor(
      [&] {
        std::error_code error;
        return std::filesystem::read_symlink(cwd, error).string() == expected;
      },
      10'000));
  // Still running a second later: the window was made and shown, nothing stopped the start.
  EXPECT_FALSE(program.waitForFinished(1000));
  EXPECT_EQ(program.state(), QProcess::Running);
  program.kill();
  program.waitForFinished(10'000);
}

TEST(StartUp, NoWindowNoProgramButAReport) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  // An X display that nobody serves.
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
  environment.insert(QStringLiteral("DISPLAY"), QStringLiteral(":4093"));
  environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
  QProcess program;
  program.setProcessEnvironment(environment);
  program.start(QStringLiteral(KORVANE_PROGRAM), {});
  ASSERT_TRUE(program.waitForFinished(20'000));
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 1);
  EXPECT_TRUE(program.readAllStandardError().contains("the main window could not be created"));
}

// A run directory whose skin library cannot be loaded (a directory holds its name): the program
// stops before showing the window, with a report naming the library file and the function.
TEST(StartUp, SkinLibraryThatCannotLoadStopsStartUpWithAReport) {
  QTemporaryDir runDirectory;
  ASSERT_TRUE(runDirectory.isValid());
  const QString program = runDirectory.filePath(QStringLiteral("korvane"));
  ASSERT_TRUE(QFile::copy(QStringLiteral(KORVANE_PROGRAM), program));
  ASSERT_TRUE(QDir(runDirectory.path()).mkdir(QStringLiteral("SkinH_EL.dll")));
  QProcess run;
  QProcessEnvironment environment = Environment();
  environment.insert(QStringLiteral("LD_LIBRARY_PATH"), runDirectory.path());  // nowhere else to find one
  run.setProcessEnvironment(environment);
  run.start(program, {});
  ASSERT_TRUE(run.waitForStarted(10'000));
  // The report goes to standard error first, then into a message box that waits for the user.
  QByteArray report;
  QElapsedTimer clock;
  clock.start();
  while (!report.contains("SkinH_AttachRes") && clock.elapsed() < 20'000 && run.state() == QProcess::Running) {
    run.waitForReadyRead(200);
    report += run.readAllStandardError();
  }
  run.kill();
  run.waitForFinished(10'000);
  EXPECT_TRUE(report.contains("SkinH_EL.dll")) << report.toStdString();
  EXPECT_TRUE(report.contains("SkinH_AttachRes")) << report.toStdString();
  EXPECT_TRUE(QFileInfo(runDirectory.filePath(QStringLiteral("SkinH_EL.dll"))).isDir());
}

// The window goes while a search thread waits on it: the program ends at once, with status 0.
TEST(StartUp, EndingWhileASearchWaitsEndsAtOnce) {
  for (const char* mode : {"close", "quit"}) {
    QProcess program;
    program.setProcessEnvironment(Environment());
    QElapsedTimer clock;
    clock.start();
    program.start(QStringLiteral(KORVANE_CLOSE_HELPER), {QString::fromLatin1(mode)});
    ASSERT_TRUE(program.waitForFinished(20'000)) << mode;
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << mode;
    EXPECT_EQ(program.exitCode(), 0) << mode << program.readAllStandardError().toStdString();
    EXPECT_EQ(program.readAllStandardOutput().trimmed(), QByteArray("waiting 1")) << mode;
  }
}

}  // namespace
}  // namespace korvane
