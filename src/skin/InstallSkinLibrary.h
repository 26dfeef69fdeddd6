#pragma once

#include <filesystem>

namespace korvane {

enum class SkinInstall {
  Written,     // the library image was written
  Present,     // an entry of that name was there already and was left alone
  NotWritten,  // the directory could not be written (or is unknown); nothing was left behind
};

// Writes the skin library image into the run directory as "SkinH_EL.dll" unless an entry of that
// name exists. Reports nothing: a directory that cannot be written is passed over in silence.
void InstallSkinLibrary();

// The same for a given run directory.
SkinInstall InstallSkinLibraryIn(const std::filesystem::path& runDirectory);

}  // namespace korvane
