#include "common/file_bytes.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <mutex>

namespace tervolin {
namespace {

// Mapped files whose pages the bus-error handler may replace. A page of a
// mapped file past the file's end (the file shrank after it was mapped)
// raises SIGBUS when read; the handler maps zero pages there and the read
// goes on. The table is read by the handler, so it is a fixed array of
// atomics; a file that finds it full is read instead of mapped.
constexpr std::size_t kGuarded = 64;
struct Guarded {
  std::atomic<std::uintptr_t> begin{0};
  std::atomic<std::uintptr_t> end{0};
};
Guarded guarded[kGuarded];
struct sigaction previousAction;
std::uintptr_t pageSize = 4096;  // set before the handler is installed

void onBusError(int signal, siginfo_t* info, void* context) {
  const auto at = reinterpret_cast<std::uintptr_t>(info->si_addr);
  const std::uintptr_t page = pageSize;
  for (Guarded& g : guarded) {
    const std::uintptr_t begin = g.begin.load(std::memory_order_acquire);
    const std::uintptr_t end = g.end.load(std::memory_order_acquire);
    if (begin == 0 || at < begin || at >= end) continue;
    const std::uintptr_t from = at & ~(page - 1);
    void* zeros = ::mmap(reinterpret_cast<void*>(from), end - from, PROT_READ,
                         MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
    if (zeros != MAP_FAILED) return;  // the read is repeated and finds zeros
  }
  // Not one of ours: what would have happened without this handler.
  if ((previousAction.sa_flags & SA_SIGINFO) && previousAction.sa_sigaction) {
    previousAction.sa_sigaction(signal, info, context);
    return;
  }
  if (previousAction.sa_handler != SIG_DFL && previousAction.sa_handler != SIG_IGN) {
    previousAction.sa_handler(signal);
    return;
  }
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  ::sigaction(SIGBUS, &fallback, nullptr);  // the repeated read ends the program as it would have
}

bool installBusErrorHandler() {
  static const bool installed = [] {
    if (const long size = ::sysconf(_SC_PAGESIZE); size > 0) pageSize = static_cast<std::uintptr_t>(size);
    struct sigaction action {};
    action.sa_sigaction = onBusError;
    action.sa_flags = SA_SIGINFO | SA_RESTART;
    sigemptyset(&action.sa_mask);
    return ::sigaction(SIGBUS, &action, &previousAction) == 0;
  }();
  return installed;
}

Guarded* guard(const void* begin, std::size_t size) {
  static std::mutex taking;
  const std::lock_guard lock(taking);
  for (Guarded& g : guarded) {
    if (g.begin.load(std::memory_order_relaxed) != 0) continue;
    const auto b = reinterpret_cast<std::uintptr_t>(begin);
    g.end.store(b + size, std::memory_order_release);
    g.begin.store(b, std::memory_order_release);
    return &g;
  }
  return nullptr;
}

void unguard(const void* begin) {
  for (Guarded& g : guarded) {
    if (g.begin.load(std::memory_order_relaxed) != reinterpret_cast<std::uintptr_t>(begin)) continue;
    g.begin.store(0, std::memory_order_release);
    g.end.store(0, std::memory_order_release);
    return;
  }
}

class Descriptor {
 public:
  explicit Descriptor(const std::filesystem::path& file) : fd_(::open(file.c_str(), O_RDONLY | O_CLOEXEC)) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }

 private:
  int fd_;
};

// Every byte from the descriptor's position to its end.
bool readAll(int fd, std::string& bytes, std::size_t expected) {
  bytes.clear();
  bytes.reserve(expected);
  char block[1 << 16];
  for (;;) {
    const ssize_t got = ::read(fd, block, sizeof block);
    if (got == 0) return true;
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.append(block, static_cast<std::size_t>(got));
  }
}

}  // namespace

std::shared_ptr<const FileBytes> FileBytes::read(const std::filesystem::path& file) {
  const Descriptor fd(file);
  if (fd.get() < 0) return nullptr;
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0) return nullptr;
  std::shared_ptr<FileBytes> bytes(new FileBytes);
  if (S_ISDIR(info.st_mode)) return nullptr;
  const auto size = static_cast<std::size_t>(info.st_size);
  if (S_ISREG(info.st_mode) && size > 0 && installBusErrorHandler()) {
    void* map = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd.get(), 0);
    if (map != MAP_FAILED) {
      if (guard(map, size)) {
        bytes->data_ = static_cast<const char*>(map);
        bytes->size_ = size;
        bytes->mappedSize_ = size;
        bytes->mapped_ = true;
        return bytes;
      }
      ::munmap(map, size);
    }
  }
  if (!readAll(fd.get(), bytes->held_, S_ISREG(info.st_mode) ? size : 0)) return nullptr;
  bytes->data_ = bytes->held_.data();
  bytes->size_ = bytes->held_.size();
  return bytes;
}

std::shared_ptr<const FileBytes> FileBytes::hold(std::string bytes) {
  std::shared_ptr<FileBytes> held(new FileBytes);
  held->held_ = std::move(bytes);
  held->data_ = held->held_.data();
  held->size_ = held->held_.size();
  return held;
}

FileBytes::~FileBytes() {
  if (!mapped_) return;
  unguard(data_);
  ::munmap(const_cast<char*>(data_), mappedSize_);
}

}  // namespace tervolin
