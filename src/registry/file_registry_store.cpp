// Locked, atomic read-modify-write of the registry file.
#include "registry/file_registry_store.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

#include "registry/registry_error.hpp"

namespace lkrva::registry {

namespace {

[[noreturn]] void FailErrno(const std::string& what, const std::filesystem::path& path) {
  const int err = errno;
  throw RegistryError(what + " " + path.string() + ": " + std::strerror(err));
}

// Closes a descriptor on every path out.
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  int release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

std::optional<std::string> ReadWhole(const std::filesystem::path& path) {
  Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) {
    if (errno == ENOENT) return std::nullopt;
    FailErrno("cannot open", path);
  }
  std::string text;
  char buffer[8192];
  while (true) {
    const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      FailErrno("cannot read", path);
    }
    if (n == 0) break;
    text.append(buffer, static_cast<std::size_t>(n));
  }
  return text;
}

void WriteAll(int fd, const std::string& text, const std::filesystem::path& path) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      FailErrno("cannot write", path);
    }
    done += static_cast<std::size_t>(n);
  }
}

// Temporary file, fsync, rename, fsync of the folder: the rename is the
// commit point, so the file is always either the old or the new text.
void ReplaceAtomically(const std::filesystem::path& path, const std::string& text) {
  std::string temp = path.string() + ".XXXXXX";
  Fd fd(::mkstemp(temp.data()));
  if (fd.get() < 0) FailErrno("cannot create a temporary file next to", path);
  try {
    ::fchmod(fd.get(), 0644);
    WriteAll(fd.get(), text, temp);
    if (::fsync(fd.get()) != 0) FailErrno("cannot sync", temp);
    if (::close(fd.release()) != 0) FailErrno("cannot close", temp);
    if (::rename(temp.c_str(), path.c_str()) != 0) FailErrno("cannot replace", path);
  } catch (...) {
    ::unlink(temp.c_str());
    throw;
  }
  const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
  Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() >= 0) ::fsync(dir.get());  // best effort: some file systems refuse it
}

}  // namespace

FileRegistryStore::FileRegistryStore(std::filesystem::path path) : path_(std::move(path)) {}

void FileRegistryStore::Transact(const Change& change) {
  if (path_.has_parent_path()) {
    std::error_code ec;
    std::filesystem::create_directories(path_.parent_path(), ec);
    if (ec) {
      throw RegistryError("cannot create the folder " + path_.parent_path().string() + ": " +
                          ec.message());
    }
  }
  const std::filesystem::path lock_path = path_.string() + ".lock";
  Fd lock(::open(lock_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
  if (lock.get() < 0) FailErrno("cannot open the lock file", lock_path);
  while (::flock(lock.get(), LOCK_EX) != 0) {
    if (errno != EINTR) FailErrno("cannot lock", lock_path);
  }
  // The lock goes with the descriptor when `lock` closes it.
  const std::optional<std::string> next = change(ReadWhole(path_));
  if (next) ReplaceAtomically(path_, *next);
}

}  // namespace lkrva::registry
