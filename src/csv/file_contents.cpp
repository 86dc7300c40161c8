// Mapping or reading a whole file.
#include "csv/file_contents.hpp"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

#if !defined(_WIN32)
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace lkrva::csv {

namespace {

[[noreturn]] void Fail(const std::string& path, const std::string& reason) {
  throw std::runtime_error(path + ": cannot be read: " + reason);
}

}  // namespace

FileContents::FileContents(const std::string& path) {
#if !defined(_WIN32)
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) Fail(path, std::strerror(errno));
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    const int error = errno;
    ::close(fd);
    Fail(path, std::strerror(error));
  }
  if (S_ISDIR(st.st_mode)) {
    ::close(fd);
    Fail(path, "it is a folder");
  }
  if (S_ISREG(st.st_mode) && st.st_size > 0) {
    mapped_size_ = static_cast<std::size_t>(st.st_size);
    // MAP_POPULATE maps every page at once: one call instead of a page
    // fault per 4 KB, which costs more than the parsing on some machines.
    void* p = ::mmap(nullptr, mapped_size_, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
    ::close(fd);
    if (p != MAP_FAILED) {
      mapping_ = p;
      text_ = std::string_view(static_cast<const char*>(p), mapped_size_);
      return;
    }
    mapped_size_ = 0;
  } else {
    ::close(fd);
  }
#endif
  std::ifstream in(path, std::ios::binary);
  if (!in) Fail(path, std::strerror(errno));
  copy_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (in.bad()) Fail(path, std::strerror(errno));
  text_ = copy_;
}

FileContents::~FileContents() {
#if !defined(_WIN32)
  if (mapping_ != nullptr) ::munmap(mapping_, mapped_size_);
#endif
}

}  // namespace lkrva::csv
