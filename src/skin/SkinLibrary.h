#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "skinlib/SkinAttachRes.h"

namespace korvane {

// The loaded skin library and its SkinH_AttachRes. The library stays loaded as long as the object
// lives; the program keeps one until it ends.
class SkinLibrary {
 public:
  SkinLibrary() = default;

  // Loads "SkinH_EL.dll" from `runDirectory` first (unless it is empty), then by the system's
  // ordinary library search, and looks up SkinH_AttachRes in the first library found.
  static SkinLibrary Load(const std::filesystem::path& runDirectory);

  bool IsLoaded() const { return attach_ != nullptr; }
  SkinAttachResFn AttachRes() const { return attach_; }
  // Why loading failed, naming the library file and the function; empty once loaded.
  const std::string& Failure() const { return failure_; }

 private:
  struct Closer {
    void operator()(void* handle) const;
  };
  std::unique_ptr<void, Closer> handle_;
  SkinAttachResFn attach_ = nullptr;
  std::string failure_;
};

}  // namespace korvane
