#pragma once

#include <filesystem>
#include <string>

#include "skin/SkinLibrary.h"

namespace korvane {

// Writes the skin library beside the program when it is missing, loads it at the first call (it
// stays loaded until the program ends) and dresses the application in skin `skinNumber` (1 to 87;
// any other number hands the library no skin). Call it on the window's thread before the window is
// first shown. Returns false when the library cannot be loaded or lacks SkinH_AttachRes: that has
// then been reported on standard error and in a message box, and start-up must stop.
[[nodiscard]] bool ApplySkin(int skinNumber);

struct ApplySkinResult {
  bool attached = false;
  std::string failure;  // when not attached: what to report
};

// ApplySkin without its report, for a given run directory and library slot: installs the library
// into `runDirectory`, loads it into `library` unless it is loaded already, then attaches the skin.
ApplySkinResult ApplySkinIn(const std::filesystem::path& runDirectory, int skinNumber, SkinLibrary& library);

// Hands a fresh copy of skin `skinNumber` to `attach` (a null address and 0 when the number names
// no skin), with an empty text and three zeros, and releases the copy when the call returns.
void AttachSkin(SkinAttachResFn attach, int skinNumber);

// The start-up failure report: `message` on standard error and, when an application object exists,
// in a modal message box. `message` is UTF-8.
void ReportSkinFailure(const std::string& message);

}  // namespace korvane
