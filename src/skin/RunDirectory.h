#pragma once
// The run directory: the directory that holds the program file, without a trailing slash. The
// skin library is written there, and start-up makes it the current directory.
#include <filesystem>
#include <optional>
#include <string>

namespace korvane {

// The directory part of an absolute program path; empty for a program in the root directory.
std::string RunDirectoryOf(const std::string& programPath);

// From /proc/self/exe; nothing when the program file cannot be found.
std::optional<std::string> RunDirectory();

// The run directory as a path to work in: "/" for the root directory, empty when unknown.
std::filesystem::path RunDirectoryPath();

// Makes the run directory the current directory; false when that fails.
bool EnterRunDirectory();

}  // namespace korvane
