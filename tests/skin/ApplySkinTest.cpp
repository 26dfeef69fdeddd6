#include "skin/ApplySkin.h"

#include <dlfcn.h>

#include <QApplication>
#include <QMessageBox>
#include <QPalette>
#include <QTimer>

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <memory>
#include <vector>

#include "RecordedAttach.h"
#include "TempDirectory.h"
#include "skin/InstallSkinLibrary.h"
#include "skin/SkinCatalogue.h"
#include "skin/SkinLibraryImage.h"
#include "skinlib/SkinFile.h"
#include "support/QtApplicationTest.h"

namespace korvane {
namespace {

namespace fs = std::filesystem;
using testing::Entries;
using testing::ReadFile;
using testing::RecordedAttach;
using testing::TempDirectory;
using testing::WriteFile;
using Bytes = std::vector<unsigned char>;

struct Closer {
  void operator()(void* h) const { dlclose(h); }
};
using Handle = std::unique_ptr<void, Closer>;

// The calls that the recording library at `file` saw; null unless that very file is loaded.
const std::vector<RecordedAttach>* CallsSeenBy(const fs::path& file, Handle& hold) {
  hold.reset(dlopen(file.c_str(), RTLD_NOW | RTLD_NOLOAD));
  if (!hold) return nullptr;
  auto calls = reinterpret_cast<RecordedAttachesFn>(dlsym(hold.get(), KORVANE_RECORDED_ATTACHES_NAME));
  return calls ? calls() : nullptr;
}

Bytes Catalogue(int n) {
  const auto skin = SkinCatalogue(n);
  return Bytes(skin.begin(), skin.end());
}

// A run directory that already holds a library of that name: the recording stand-in.
class ApplySkinWithRecorder : public ::testing::Test {
 protected:
  void SetUp() override { fs::copy_file(KORVANE_RECORDING_SKIN_LIBRARY, library_); }
  TempDirectory dir_;
  const fs::path library_ = dir_.path() / KORVANE_SKIN_LIBRARY_FILE;
};

TEST_F(ApplySkinWithRecorder, HandsOverAFreshCopyOfTheChosenSkinOrNone) {
  struct Case {
    int skinNumber;
    bool hasSkin;
  };
  const Case cases[] = {{2, true}, {1, true}, {87, true}, {0, false}, {88, false},
                        {-1, false}, {INT_MIN, false}, {INT_MAX, false}};
  SkinLibrary library;
  Handle hold;
  std::size_t seen = 0;
  for (const Case& c : cases) {
    const ApplySkinResult result = ApplySkinIn(dir_.path(), c.skinNumber, library);
    ASSERT_TRUE(result.attached) << c.skinNumber << ": " << result.failure;
    const auto* calls = CallsSeenBy(library_, hold);
    ASSERT_NE(calls, nullptr) << "the library in the run directory is the one loaded";
    ASSERT_EQ(calls->size(), ++seen) << c.skinNumber;
    const RecordedAttach& call = calls->back();
    if (c.hasSkin) {
      const Bytes expected = Catalogue(c.skinNumber);
      ASSERT_FALSE(expected.empty());
      EXPECT_NE(call.address, nullptr) << c.skinNumber;
      EXPECT_NE(call.address, SkinCatalogue(c.skinNumber).data()) << "a copy, not the program's own data";
      EXPECT_EQ(call.size, static_cast<int>(expected.size())) << c.skinNumber;
      EXPECT_EQ(call.skin, expected) << c.skinNumber;
    } else {
      EXPECT_EQ(call.address, nullptr) << c.skinNumber;
      EXPECT_EQ(call.size, 0) << c.skinNumber;
    }
    EXPECT_FALSE(call.keyWasNull) << c.skinNumber;
    EXPECT_EQ(call.key, "") << c.skinNumber;
    EXPECT_EQ(call.reserved[0], 0);
    EXPECT_EQ(call.reserved[1], 0);
    EXPECT_EQ(call.reserved[2], 0);
  }
}

TEST_F(ApplySkinWithRecorder, ALibraryAlreadyThereIsKeptAndLoaded) {
  const Bytes before = ReadFile(library_);
  ASSERT_NE(before, Bytes(SkinLibraryImage().begin(), SkinLibraryImage().end()));
  SkinLibrary library;
  ASSERT_TRUE(ApplySkinIn(dir_.path(), 2, library).attached);
  EXPECT_EQ(ReadFile(library_), before);
  Handle hold;
  const auto* calls = CallsSeenBy(library_, hold);
  ASSERT_NE(calls, nullptr);
  ASSERT_EQ(calls->size(), 1u);
  EXPECT_EQ(calls->back().skin, Catalogue(2));
}

TEST_F(ApplySkinWithRecorder, LibraryIsLoadedOnceAndStaysLoaded) {
  SkinLibrary library;
  ASSERT_TRUE(ApplySkinIn(dir_.path(), 2, library).attached);
  Handle hold;
  const auto* calls = CallsSeenBy(library_, hold);
  ASSERT_NE(calls, nullptr);
  // Gone from the disk (the next call installs the real library there): the loaded one serves on.
  fs::remove(library_);
  ASSERT_TRUE(ApplySkinIn(dir_.path(), 3, library).attached);
  EXPECT_EQ(calls->size(), 2u);
  EXPECT_EQ(calls->back().skin, Catalogue(3));
}

TEST(ApplySkin, StartUpStopsWhenTheLibraryCannotBeUsed) {
  const auto image = SkinLibraryImage();
  struct Case {
    const char* what;
    void (*make)(const fs::path& target, std::span<const unsigned char> image);
  };
  const Case cases[] = {
      {"a directory of that name", [](const fs::path& t, std::span<const unsigned char>) { fs::create_directory(t); }},
      {"a file that is no library",
       [](const fs::path& t, std::span<const unsigned char>) { WriteFile(t, std::string("not a library")); }},
      {"an empty file", [](const fs::path& t, std::span<const unsigned char>) { WriteFile(t, Bytes{}); }},
      {"a truncated library",
       [](const fs::path& t, std::span<const unsigned char> i) { WriteFile(t, i.first(i.size() / 3)); }},
      {"a library without the function",
       [](const fs::path& t, std::span<const unsigned char>) { fs::copy_file(KORVANE_SKIN_LIBRARY_WITHOUT_ATTACH, t); }},
  };
  for (const Case& c : cases) {
    TempDirectory dir;
    const fs::path target = dir.path() / KORVANE_SKIN_LIBRARY_FILE;
    c.make(target, image);
    const Bytes before = fs::is_regular_file(target) ? ReadFile(target) : Bytes{};
    SkinLibrary library;
    const ApplySkinResult result = ApplySkinIn(dir.path(), 2, library);
    EXPECT_FALSE(result.attached) << c.what;
    EXPECT_FALSE(library.IsLoaded()) << c.what;
    EXPECT_NE(result.failure.find(KORVANE_SKIN_LIBRARY_FILE), std::string::npos) << c.what << ": " << result.failure;
    EXPECT_NE(result.failure.find(KORVANE_SKIN_ATTACH_NAME), std::string::npos) << c.what << ": " << result.failure;
    EXPECT_EQ(Entries(dir.path()), std::set<std::string>{KORVANE_SKIN_LIBRARY_FILE}) << c.what;
    if (fs::is_directory(target)) {
      EXPECT_TRUE(Entries(target).empty()) << c.what;
    } else {
      EXPECT_EQ(ReadFile(target), before) << c.what;
    }
  }
}

class ApplySkinFirstRun : public testing::QtApplicationTest {};

TEST_F(ApplySkinFirstRun, WritesTheLibraryAndDressesTheWindowInSkinTwo) {
  TempDirectory dir;
  SkinLibrary library;
  const ApplySkinResult result = ApplySkinIn(dir.path(), 2, library);
  ASSERT_TRUE(result.attached) << result.failure;
  EXPECT_EQ(ReadFile(dir.path() / KORVANE_SKIN_LIBRARY_FILE),
            Bytes(SkinLibraryImage().begin(), SkinLibraryImage().end()));

  const SkinParseResult skin = ParseSkinFile(SkinCatalogue(2));
  ASSERT_TRUE(skin.ok());
  for (const SkinColour& c : skin.skin.colours) {
    if (c.group != SkinColourGroup::All || c.role != SkinColourRole::Window) continue;
    EXPECT_EQ(QApplication::palette().color(QPalette::Active, QPalette::Window), QColor(c.red, c.green, c.blue));
  }
  ASSERT_TRUE(skin.skin.font);
  EXPECT_EQ(QApplication::font().families().front().toStdString(), skin.skin.font->families.front());
  EXPECT_EQ(qApp->styleSheet().toStdString(), skin.skin.styleSheet);
}

class ReportSkinFailureTest : public testing::QtApplicationTest {};

TEST_F(ReportSkinFailureTest, ShowsTheMessageOnStandardErrorAndInAMessageBox) {
  const std::string message = "The skin library SkinH_EL.dll does not export the function SkinH_AttachRes.";
  QString shown;
  int tries = 0;
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      shown = box->text();
      box->done(0);
      closer.stop();
    } else if (++tries > 500) {
      closer.stop();
      QApplication::closeAllWindows();
    }
  });
  closer.start(10);
  ::testing::internal::CaptureStderr();
  ReportSkinFailure(message);
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find(message), std::string::npos) << err;
  EXPECT_TRUE(shown.contains(QString::fromStdString(message))) << shown.toStdString();
}

TEST(ReportSkinFailure, WithoutAnApplicationWritesStandardErrorOnly) {
  ASSERT_EQ(QCoreApplication::instance(), nullptr);
  ::testing::internal::CaptureStderr();
  ReportSkinFailure("SkinH_EL.dll cannot be loaded");
  EXPECT_NE(::testing::internal::GetCapturedStderr().find("SkinH_EL.dll cannot be loaded"), std::string::npos);
}

}  // namespace
}  // namespace korvane
