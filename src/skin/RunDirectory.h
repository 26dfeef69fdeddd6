#pragma once

#include <filesystem>

namespace korvane {

// The directory that holds the program file, without a trailing slash ("/" itself for the root
// directory); empty when it cannot be determined.
std::filesystem::path RunDirectory();

}  // namespace korvane
