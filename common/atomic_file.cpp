#include "common/atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

namespace tervolin {
namespace {

// Distinct temporary names for every file this process writes at once.
std::atomic<unsigned> temporaryCounter{0};

}  // namespace

AtomicFile::AtomicFile(std::filesystem::path target) : target_(std::move(target)) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp_ = target_;
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
  if (ok()) {
    std::error_code ec;
    std::filesystem::rename(temp_, target_, ec);
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
  if (!done_) ::unlink(temp_.c_str());
  done_ = true;
}

std::string systemErrorText(int error) { return std::generic_category().message(error); }

}  // namespace tervolin
