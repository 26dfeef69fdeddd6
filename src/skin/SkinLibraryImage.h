#pragma once

#include <span>

namespace korvane {

// The bytes of the skin library file that the program carries, as the build made it.
std::span<const unsigned char> SkinLibraryImage();

}  // namespace korvane
