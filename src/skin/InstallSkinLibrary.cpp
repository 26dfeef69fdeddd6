#include "skin/InstallSkinLibrary.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <span>
#include <string>

#include "skin/FileDescriptor.h"
#include "skin/RunDirectory.h"
#include "skin/SkinLibraryImage.h"
#include "skinlib/SkinAttachRes.h"

namespace korvane {
namespace {

bool WriteAll(int fd, std::span<const unsigned char> bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes = bytes.subspan(static_cast<std::size_t>(n));
  }
  return true;
}

std::string TemporaryName() {
  static std::atomic<unsigned> counter{0};
  const auto clock = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
  return std::string(".") + KORVANE_SKIN_LIBRARY_FILE + "." + std::to_string(::getpid()) + "." +
         std::to_string(counter++) + "." + std::to_string(clock % 1000000007ULL);
}

// Moves `from` to `to` unless `to` exists (then false, errno EEXIST): a first run that races
// another never replaces what the other put there.
bool MoveWithoutReplacing(const char* from, const char* to) {
  if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // A file system without the no-replace rename: a hard link refuses to replace as well.
  if (::link(from, to) == 0) {
    ::unlink(from);
    return true;
  }
  if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS) return false;
  // Neither is supported (vfat and the like): a plain rename is still atomic.
  return ::rename(from, to) == 0;
}

void SyncDirectory(const std::filesystem::path& directory) {
  const FileDescriptor dir(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.IsOpen()) ::fsync(dir.get());
}

}  // namespace

SkinInstall InstallSkinLibraryIn(const std::filesystem::path& runDirectory) {
  if (runDirectory.empty()) return SkinInstall::NotWritten;
  const std::filesystem::path target = runDirectory / KORVANE_SKIN_LIBRARY_FILE;
  struct stat existing {};
  // Any entry of that name counts, whatever it is or holds: a user's own library stays in place.
  if (::lstat(target.c_str(), &existing) == 0) return SkinInstall::Present;
  if (errno != ENOENT) return SkinInstall::NotWritten;
  const std::span<const unsigned char> image = SkinLibraryImage();
  if (image.empty()) return SkinInstall::NotWritten;

  // The image goes to a temporary file first and is renamed into place when complete, so that an
  // interrupted run never leaves a truncated library that every later run would load and fail on.
  std::filesystem::path temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
    temporary = runDirectory / TemporaryName();
    // Linux has no hidden attribute: the file keeps its plain name and a library's usual permissions.
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0755);
    if (fd < 0 && errno != EEXIST) return SkinInstall::NotWritten;
  }
  if (fd < 0) return SkinInstall::NotWritten;
  FileDescriptor file(fd);
  bool complete = WriteAll(file.get(), image) && ::fsync(file.get()) == 0;
  complete = file.Close() && complete;
  if (!complete) {
    ::unlink(temporary.c_str());
    return SkinInstall::NotWritten;
  }
  if (!MoveWithoutReplacing(temporary.c_str(), target.c_str())) {
    const bool raced = errno == EEXIST;
    ::unlink(temporary.c_str());
    return raced ? SkinInstall::Present : SkinInstall::NotWritten;
  }
  SyncDirectory(runDirectory);
  return SkinInstall::Written;
}

void InstallSkinLibrary() { InstallSkinLibraryIn(RunDirectoryPath()); }

}  // namespace korvane
