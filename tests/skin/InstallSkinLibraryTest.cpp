#include "skin/InstallSkinLibrary.h"

#include <dlfcn.h>
#include <errno.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <memory>
#include <vector>

#include "TempDirectory.h"
#include "skin/RunDirectory.h"
#include "skin/SkinLibraryImage.h"
#include "skinlib/SkinAttachRes.h"

namespace korvane {
namespace {

namespace fs = std::filesystem;
using testing::Entries;
using testing::ReadFile;
using testing::TempDirectory;
using testing::WriteFile;
using Bytes = std::vector<unsigned char>;

Bytes Image() {
  const auto image = SkinLibraryImage();
  return Bytes(image.begin(), image.end());
}

class UmaskGuard {
 public:
  explicit UmaskGuard(mode_t mask) : previous_(::umask(mask)) {}
  ~UmaskGuard() { ::umask(previous_); }

 private:
  mode_t previous_;
};

TEST(InstallSkinLibrary, FirstRunWritesTheImageAsAnOrdinaryLibrary) {
  const UmaskGuard umask(022);
  TempDirectory dir;
  const fs::path target = dir.path() / KORVANE_SKIN_LIBRARY_FILE;
  ASSERT_EQ(InstallSkinLibraryIn(dir.path()), SkinInstall::Written);

  EXPECT_EQ(ReadFile(target), Image());
  EXPECT_EQ(Entries(dir.path()), std::set<std::string>{KORVANE_SKIN_LIBRARY_FILE}) << "no temporary file is left";
  struct stat st {};
  ASSERT_EQ(::lstat(target.c_str(), &st), 0);
  EXPECT_TRUE(S_ISREG(st.st_mode));
  EXPECT_EQ(st.st_mode & 07777, 0755u) << "readable and writable by its owner, like any installed library";

  struct Closer {
    void operator()(void* h) const { dlclose(h); }
  };
  const std::unique_ptr<void, Closer> library(dlopen(target.c_str(), RTLD_NOW | RTLD_LOCAL));
  ASSERT_TRUE(library) << dlerror();
  EXPECT_NE(dlsym(library.get(), KORVANE_SKIN_ATTACH_NAME), nullptr);
}

TEST(InstallSkinLibrary, TheImageIsTheBuiltLibraryStripped) {
  const Bytes image = Image();
  ASSERT_GT(image.size(), 4u);
  EXPECT_EQ(Bytes(image.begin(), image.begin() + 4), (Bytes{0x7F, 'E', 'L', 'F'}));
  EXPECT_LE(image.size(), ReadFile(KORVANE_SKIN_LIBRARY_PATH).size());
}

// Whatever stands under the library's name was put there by someone: it is never replaced.
TEST(InstallSkinLibrary, AnEntryOfThatNameIsLeftAlone) {
  const Bytes image = Image();
  struct Case {
    const char* what;
    void (*make)(const fs::path& target, const Bytes& image);
  };
  const Case cases[] = {
      {"another library", [](const fs::path& t, const Bytes&) { WriteFile(t, Bytes{1, 2, 3, 4, 5}); }},
      {"an empty file", [](const fs::path& t, const Bytes&) { WriteFile(t, Bytes{}); }},
      {"a truncated image",
       [](const fs::path& t, const Bytes& i) { WriteFile(t, Bytes(i.begin(), i.begin() + i.size() / 2)); }},
      {"a read-only file",
       [](const fs::path& t, const Bytes&) {
         WriteFile(t, Bytes{9});
         fs::permissions(t, fs::perms::owner_read);
       }},
      {"an empty directory", [](const fs::path& t, const Bytes&) { fs::create_directory(t); }},
      {"a directory with content",
       [](const fs::path& t, const Bytes&) {
         fs::create_directory(t);
         WriteFile(t / "inner", Bytes{7});
       }},
      {"a dangling symbolic link", [](const fs::path& t, const Bytes&) { fs::create_symlink("nowhere.dll", t); }},
  };
  for (const Case& c : cases) {
    TempDirectory dir;
    const fs::path target = dir.path() / KORVANE_SKIN_LIBRARY_FILE;
    c.make(target, image);
    const fs::file_status before = fs::symlink_status(target);
    const Bytes bytesBefore = fs::is_regular_file(before) ? ReadFile(target) : Bytes{};
    const auto namesBefore = fs::is_directory(before) ? Entries(target) : std::set<std::string>{};

    EXPECT_EQ(InstallSkinLibraryIn(dir.path()), SkinInstall::Present) << c.what;
    const fs::file_status after = fs::symlink_status(target);
    EXPECT_EQ(after.type(), before.type()) << c.what;
    EXPECT_EQ(after.permissions(), before.permissions()) << c.what;
    if (fs::is_regular_file(after)) {
      EXPECT_EQ(ReadFile(target), bytesBefore) << c.what;
    } else if (fs::is_directory(after)) {
      EXPECT_EQ(Entries(target), namesBefore) << c.what;
    } else if (fs::is_symlink(after)) {
      EXPECT_EQ(fs::read_symlink(target), "nowhere.dll") << c.what;
    }
    EXPECT_EQ(Entries(dir.path()), std::set<std::string>{KORVANE_SKIN_LIBRARY_FILE}) << c.what;
  }
}

TEST(InstallSkinLibrary, SecondRunWritesNothing) {
  TempDirectory dir;
  ASSERT_EQ(InstallSkinLibraryIn(dir.path()), SkinInstall::Written);
  const fs::path target = dir.path() / KORVANE_SKIN_LIBRARY_FILE;
  struct stat first {};
  ASSERT_EQ(::stat(target.c_str(), &first), 0);
  EXPECT_EQ(InstallSkinLibraryIn(dir.path()), SkinInstall::Present);
  struct stat second {};
  ASSERT_EQ(::stat(target.c_str(), &second), 0);
  EXPECT_EQ(second.st_ino, first.st_ino);
  EXPECT_EQ(second.st_mtim.tv_nsec, first.st_mtim.tv_nsec);
  EXPECT_EQ(second.st_mtim.tv_sec, first.st_mtim.tv_sec);
}

// The tests run as root, which ignores permission bits, so the directories here cannot be written
// for reasons that hold for root too: a path below a plain file, a directory that is not there.
TEST(InstallSkinLibrary, UnwritableRunDirectoryIsPassedOverInSilence) {
  TempDirectory dir;
  WriteFile(dir.path() / "plain-file", Bytes{1});
  const fs::path cases[] = {dir.path() / "plain-file", dir.path() / "plain-file" / "sub",
                            dir.path() / "missing", fs::path()};
  const fs::path atRoot = fs::path("/") / KORVANE_SKIN_LIBRARY_FILE;
  const bool rootHadOne = fs::exists(fs::symlink_status(atRoot));
  for (const fs::path& runDirectory : cases) {
    ::testing::internal::CaptureStderr();
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(InstallSkinLibraryIn(runDirectory), SkinInstall::NotWritten) << runDirectory;
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "") << runDirectory;
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << runDirectory;
    EXPECT_EQ(Entries(dir.path()), std::set<std::string>{"plain-file"}) << runDirectory;
  }
  EXPECT_EQ(fs::exists(fs::symlink_status(atRoot)), rootHadOne) << "an unknown run directory is not the root";
}

TEST(InstallSkinLibrary, ReadOnlyRunDirectoryIsPassedOverInSilence) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only directories";
  TempDirectory dir;
  fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(InstallSkinLibraryIn(dir.path()), SkinInstall::NotWritten);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  fs::permissions(dir.path(), fs::perms::owner_all);
  EXPECT_TRUE(Entries(dir.path()).empty());
}

// A write that stops half way (here: the file size limit, as a full disk would) must leave no
// library behind, or every later run would find it present and fail to load it.
TEST(InstallSkinLibrary, InterruptedWriteLeavesNoLibraryBehind) {
  ASSERT_GT(SkinLibraryImage().size(), 8192u);
  TempDirectory dir;
  struct Limit {
    rlimit saved{};
    void (*savedHandler)(int) = nullptr;
    Limit() {
      ::getrlimit(RLIMIT_FSIZE, &saved);
      savedHandler = std::signal(SIGXFSZ, SIG_IGN);
      rlimit small = saved;
      small.rlim_cur = 4096;
      ::setrlimit(RLIMIT_FSIZE, &small);
    }
    ~Limit() {
      ::setrlimit(RLIMIT_FSIZE, &saved);
      std::signal(SIGXFSZ, savedHandler);
    }
  };
  {
    const Limit limit;
    EXPECT_EQ(InstallSkinLibraryIn(dir.path()), SkinInstall::NotWritten);
  }
  EXPECT_TRUE(Entries(dir.path()).empty()) << "neither the library nor its temporary file";
  ASSERT_EQ(InstallSkinLibraryIn(dir.path()), SkinInstall::Written);
  EXPECT_EQ(ReadFile(dir.path() / KORVANE_SKIN_LIBRARY_FILE), Image());
}

TEST(RunDirectory, IsTheDirectoryOfThisProgram) {
  const fs::path dir = RunDirectoryPath();
  ASSERT_FALSE(dir.empty());
  EXPECT_TRUE(dir.is_absolute());
  EXPECT_FALSE(dir.filename().empty()) << "no trailing slash: " << dir;
  EXPECT_TRUE(fs::is_regular_file(dir / program_invocation_short_name)) << dir;
}

}  // namespace
}  // namespace korvane
