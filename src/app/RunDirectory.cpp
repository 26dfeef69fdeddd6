#include "app/RunDirectory.h"

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

bool EnterRunDirectory() {
  const std::optional<std::string> directory = RunDirectory();
  if (!directory) return false;
  std::error_code error;
  // The root directory has no name left once its slash is taken off.
  std::filesystem::current_path(directory->empty() ? std::string("/") : *directory, error);
  return !error;
}

}  // namespace korvane
