// The whole contents of a file, read-only, as cheaply as the platform allows.
#pragma once

#include <string>
#include <string_view>

namespace lkrva::csv {

/// Maps a regular file into memory (POSIX) or reads it whole (elsewhere, and
/// for files that cannot be mapped, such as pipes). Throws std::runtime_error
/// with "PATH: cannot be read: REASON".
class FileContents {
 public:
  explicit FileContents(const std::string& path);
  ~FileContents();
  FileContents(const FileContents&) = delete;
  FileContents& operator=(const FileContents&) = delete;

  std::string_view text() const { return text_; }

 private:
  void* mapping_ = nullptr;
  std::size_t mapped_size_ = 0;
  std::string copy_;
  std::string_view text_;
};

}  // namespace lkrva::csv
