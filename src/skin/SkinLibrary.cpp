#include "skin/SkinLibrary.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "skin/FileDescriptor.h"

namespace korvane {
namespace {

std::string LastLoaderError() {
  const char* error = ::dlerror();
  return error ? error : "unknown error";
}

// The file the loader actually took, which may not be the one in the run directory.
std::string LoadedFile(void* handle) {
  const link_map* map = nullptr;
  if (::dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0 || !map || !map->l_name || !*map->l_name)
    return KORVANE_SKIN_LIBRARY_FILE;
  return map->l_name;
}

constexpr unsigned char kNativeClass = sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32;

bool ReadAt(int fd, void* out, std::size_t size, off_t offset) {
  return ::pread(fd, out, size, offset) == static_cast<ssize_t>(size);
}

// The loader maps a library's segments as its headers describe them; in a file cut short (an
// interrupted copy, a full disk) the missing pages fault on first touch and the program dies of a
// bus error inside dlopen. A library of our kind whose segments do not all lie within the file is
// refused here, so that it is reported like any other library that cannot be loaded. Files that are
// not libraries of this machine's kind are left to the loader, which refuses them safely.
std::string CutShortLibrary(const std::filesystem::path& path) {
  const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!file.IsOpen()) return {};
  const int fd = file.get();
  struct stat st {};
  ElfW(Ehdr) header{};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || !ReadAt(fd, &header, sizeof header, 0)) return {};
  if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != kNativeClass ||
      header.e_phentsize != sizeof(ElfW(Phdr)))
    return {};
  const auto size = static_cast<std::uint64_t>(st.st_size);
  const std::string cut = path.string() + ": file too short";
  if (header.e_phoff > size || std::uint64_t{header.e_phnum} * sizeof(ElfW(Phdr)) > size - header.e_phoff) return cut;
  for (unsigned i = 0; i < header.e_phnum; ++i) {
    ElfW(Phdr) segment{};
    if (!ReadAt(fd, &segment, sizeof segment, static_cast<off_t>(header.e_phoff + i * sizeof segment))) return cut;
    if (segment.p_offset > size || segment.p_filesz > size - segment.p_offset) return cut;
  }
  return {};
}

}  // namespace

void SkinLibrary::Closer::operator()(void* handle) const { ::dlclose(handle); }

SkinLibrary SkinLibrary::Load(const std::filesystem::path& runDirectory) {
  SkinLibrary library;
  std::string reasons;
  // Binding every symbol now makes a broken library fail here, not in the middle of drawing.
  constexpr int kMode = RTLD_NOW | RTLD_LOCAL;
  if (!runDirectory.empty()) {
    const std::filesystem::path beside = runDirectory / KORVANE_SKIN_LIBRARY_FILE;
    reasons = CutShortLibrary(beside);
    if (reasons.empty()) {
      library.handle_.reset(::dlopen(beside.c_str(), kMode));
      if (!library.handle_) reasons = LastLoaderError();
    }
  }
  if (!library.handle_) {
    library.handle_.reset(::dlopen(KORVANE_SKIN_LIBRARY_FILE, kMode));
    if (!library.handle_) reasons += (reasons.empty() ? "" : "; ") + LastLoaderError();
  }
  if (!library.handle_) {
    library.failure_ = "The skin library " KORVANE_SKIN_LIBRARY_FILE " cannot be loaded, so its function "
                       KORVANE_SKIN_ATTACH_NAME " is not available (" + reasons + ").";
    return library;
  }
  ::dlerror();
  void* symbol = ::dlsym(library.handle_.get(), KORVANE_SKIN_ATTACH_NAME);
  if (!symbol) {
    library.failure_ = "The skin library " KORVANE_SKIN_LIBRARY_FILE " (" + LoadedFile(library.handle_.get()) +
                       ") does not export the function " KORVANE_SKIN_ATTACH_NAME ".";
    library.handle_.reset();
    return library;
  }
  library.attach_ = reinterpret_cast<SkinAttachResFn>(symbol);
  return library;
}

}  // namespace korvane
