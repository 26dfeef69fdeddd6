#pragma once

#include <unistd.h>

namespace korvane {

// Owns one open file descriptor and closes it once.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() { Close(); }

  int get() const { return fd_; }
  bool IsOpen() const { return fd_ >= 0; }
  // False when close reports an error, which for a file just written can mean lost data.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return fd < 0 || ::close(fd) == 0;
  }

 private:
  int fd_;
};

}  // namespace korvane
