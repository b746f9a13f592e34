#pragma once
// A file written in pieces that appears whole or not at all: the bytes go to
// a temporary file beside the target, which replaces the target only when
// commit() succeeds. Dropping the object before that (a cancelled export, a
// failed write) removes the temporary file and leaves the target as it was.
//
// A symbolic link is followed to its end: the file it names is replaced (its
// temporary file lies beside that file) and the link kept. A target that
// exists and is not a regular file (a device such as /dev/null, a FIFO) is
// written in place, since a rename would destroy it.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace tervolin {

class AtomicFile {
 public:
  // Creates the temporary file; ok() tells whether that worked.
  explicit AtomicFile(std::filesystem::path target);
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  bool ok() const { return error_ == 0; }
  // The errno of the first failure (0 while none).
  int error() const { return error_; }
  const std::filesystem::path& target() const { return target_; }
  // The temporary file's path (for writers that need a file name); the
  // target itself when it is written in place.
  const std::filesystem::path& temporary() const { return temp_; }

  // Appends bytes; false once anything failed.
  bool write(std::string_view bytes);
  // Closes the temporary file and renames it over the target; false (and
  // the temporary file removed) on failure.
  bool commit();
  // Removes the temporary file; the target stays as it was.
  void discard();

 private:
  std::filesystem::path target_;
  std::filesystem::path file_;  // target_ with its links followed
  std::filesystem::path temp_;
  int fd_ = -1;
  int error_ = 0;
  bool done_ = false;
  bool inPlace_ = false;
};

// The system's description of an errno value ("No space left on device").
std::string systemErrorText(int error);

// "Не удалось записать файл <path>: <reason>" (Windows-1251).
std::string writeFailureText(const std::filesystem::path& target, std::string_view reason);

}  // namespace tervolin
