#include "common/atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <system_error>

#include "common/paths.h"
#include "common/text.h"

namespace tervolin {
namespace {

namespace fs = std::filesystem;

// Distinct temporary names for every file this process writes at once.
std::atomic<unsigned> temporaryCounter{0};

// The file a write to `target` lands in: symbolic links followed to their
// end (a relative link counts from its own folder). Nothing for a chain too
// long to be anything but a loop.
std::optional<fs::path> followLinks(const fs::path& target) {
  fs::path file = target;
  for (int hops = 0; hops < 40; ++hops) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(file, ec))) return file;
    const fs::path next = fs::read_symlink(file, ec);
    if (ec) return std::nullopt;
    file = next.is_absolute() ? next : file.parent_path() / next;
  }
  return std::nullopt;
}

}  // namespace

AtomicFile::AtomicFile(std::filesystem::path target) : target_(std::move(target)) {
  const std::optional<fs::path> file = followLinks(target_);
  if (!file) {
    error_ = ELOOP;
    done_ = true;
    return;
  }
  file_ = *file;
  std::error_code ec;
  const fs::file_status status = fs::status(file_, ec);
  if (fs::exists(status) && !fs::is_regular_file(status)) {
    inPlace_ = true;
    temp_ = file_;
    fd_ = ::open(file_.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd_ < 0) {
      error_ = errno != 0 ? errno : EIO;
      done_ = true;
    }
    return;
  }
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp_ = file_;
    temp_ += ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(temporaryCounter++);
    fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ >= 0 || errno != EEXIST) break;
  }
  if (fd_ < 0) {
    error_ = errno != 0 ? errno : EIO;
    done_ = true;
  }
}

AtomicFile::~AtomicFile() { discard(); }

bool AtomicFile::write(std::string_view bytes) {
  if (!ok() || done_) return false;
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      error_ = errno;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

bool AtomicFile::commit() {
  if (!ok() || done_) {
    discard();
    return false;
  }
  if (::close(fd_) != 0) error_ = errno;
  fd_ = -1;
  if (ok() && !inPlace_) {
    std::error_code ec;
    fs::rename(temp_, file_, ec);
    if (ec) error_ = ec.value();
  }
  if (!ok()) {
    discard();
    return false;
  }
  done_ = true;
  return true;
}

void AtomicFile::discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!done_ && !inPlace_) ::unlink(temp_.c_str());
  done_ = true;
}

std::string systemErrorText(int error) { return std::generic_category().message(error); }

std::string writeFailureText(const std::filesystem::path& target, std::string_view reason) {
  std::string text("Не удалось записать файл "_w);
  text += pathText(target);
  text += ": ";
  text += reason;
  return text;
}

}  // namespace tervolin
