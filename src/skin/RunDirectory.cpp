#include "skin/RunDirectory.h"

#include <filesystem>
#include <system_error>

namespace korvane {

std::string RunDirectoryOf(const std::string& programPath) {
  const std::size_t slash = programPath.rfind('/');
  if (slash == std::string::npos) return ".";
  return programPath.substr(0, slash);
}

std::optional<std::string> RunDirectory() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error || program.empty()) return std::nullopt;
  return RunDirectoryOf(program.string());
}

std::filesystem::path RunDirectoryPath() {
  const std::optional<std::string> directory = RunDirectory();
  if (!directory) return {};
  // The root directory has no name left once its slash is taken off.
  return directory->empty() ? std::filesystem::path("/") : std::filesystem::path(*directory);
}

bool EnterRunDirectory() {
  const std::filesystem::path directory = RunDirectoryPath();
  if (directory.empty()) return false;
  std::error_code error;
  std::filesystem::current_path(directory, error);
  return !error;
}

}  // namespace korvane
