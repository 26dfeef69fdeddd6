// When the run directory offers no usable library, the system's library search is asked; this
// program's run path leads it to the recording stand-in.
#include <dlfcn.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "RecordedAttach.h"
#include "TempDirectory.h"
#include "skin/ApplySkin.h"
#include "skin/SkinCatalogue.h"

namespace korvane {
namespace {

namespace fs = std::filesystem;
using testing::Entries;
using testing::TempDirectory;

struct Closer {
  void operator()(void* h) const { dlclose(h); }
};

TEST(SkinLibrarySearch, RunDirectoryWithoutALibraryFallsBackToTheSystemSearchInSilence) {
  TempDirectory dir;
  testing::WriteFile(dir.path() / "plain-file", std::string("x"));
  fs::create_directory(dir.path() / "with-directory");
  fs::create_directory(dir.path() / "with-directory" / KORVANE_SKIN_LIBRARY_FILE);
  const fs::path cases[] = {dir.path() / "plain-file" / "unwritable", dir.path() / "with-directory"};
  std::unique_ptr<void, Closer> found;  // keeps the stand-in and its record from one case to the next
  std::size_t calls = 0;
  for (const fs::path& runDirectory : cases) {
    SkinLibrary library;
    ::testing::internal::CaptureStderr();
    const ApplySkinResult result = ApplySkinIn(runDirectory, 2, library);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << runDirectory;
    ASSERT_TRUE(result.attached) << runDirectory << ": " << result.failure;

    found.reset(dlopen(KORVANE_RECORDING_SKIN_LIBRARY, RTLD_NOW | RTLD_NOLOAD));
    ASSERT_TRUE(found) << "the stand-in on the run path was loaded";
    auto recorded = reinterpret_cast<RecordedAttachesFn>(dlsym(found.get(), KORVANE_RECORDED_ATTACHES_NAME));
    ASSERT_NE(recorded, nullptr);
    const auto& seen = *recorded();
    ASSERT_EQ(seen.size(), calls + 1) << runDirectory;
    calls = seen.size();
    const auto skin = SkinCatalogue(2);
    EXPECT_EQ(seen.back().skin, std::vector<unsigned char>(skin.begin(), skin.end()));
  }
  EXPECT_TRUE(Entries(dir.path() / "with-directory" / KORVANE_SKIN_LIBRARY_FILE).empty());
}

}  // namespace
}  // namespace korvane
