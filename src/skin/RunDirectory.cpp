#include "skin/RunDirectory.h"

#include <system_error>

namespace korvane {

std::filesystem::path RunDirectory() {
  std::error_code error;
  // The link names the program file itself, whatever the current directory or argv[0] say.
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error || !program.is_absolute()) return {};
  return program.parent_path();
}

}  // namespace korvane
