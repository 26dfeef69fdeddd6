#include "skin/ApplySkin.h"

#include <vector>

#include "skin/InstallSkinLibrary.h"
#include "skin/RunDirectory.h"
#include "skin/SkinCatalogue.h"

namespace korvane {

void AttachSkin(SkinAttachResFn attach, int skinNumber) {
  const std::span<const unsigned char> stored = SkinCatalogue(skinNumber);
  // The library gets a copy that dies with this call, never the program's constant data.
  const std::vector<unsigned char> copy(stored.begin(), stored.end());
  static const char kNoKey[] = "";
  attach(copy.empty() ? nullptr : copy.data(), static_cast<int>(copy.size()), kNoKey, 0, 0, 0);
}

ApplySkinResult ApplySkinIn(const std::filesystem::path& runDirectory, int skinNumber, SkinLibrary& library) {
  InstallSkinLibraryIn(runDirectory);
  if (!library.IsLoaded()) {
    library = SkinLibrary::Load(runDirectory);
    if (!library.IsLoaded()) return {false, library.Failure()};
  }
  AttachSkin(library.AttachRes(), skinNumber);
  return {true, {}};
}

bool ApplySkin(int skinNumber) {
  static SkinLibrary library;
  ApplySkinResult result = ApplySkinIn(RunDirectoryPath(), skinNumber, library);
  if (!result.attached) ReportSkinFailure(result.failure);
  return result.attached;
}

}  // namespace korvane
