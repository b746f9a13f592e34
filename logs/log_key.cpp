#include "logs/log_key.h"

#include <zlib.h>

#include <cstdio>
#include <memory>
#include <system_error>
#include <vector>

namespace tervolin {
namespace fs = std::filesystem;

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

// Size and modification time of a file; false when it cannot be examined.
bool stampOf(const fs::path& file, LogKeySource& stamp) {
  std::error_code ec;
  stamp.size = fs::file_size(file, ec);
  if (ec) return false;
  stamp.modified = fs::last_write_time(file, ec);
  if (ec) return false;
  stamp.file = file;
  return true;
}

}  // namespace

std::optional<std::uint32_t> GetCRC32(const fs::path& file) {
  std::unique_ptr<std::FILE, FileCloser> in(std::fopen(file.c_str(), "rb"));
  if (!in) return std::nullopt;
  std::vector<unsigned char> block(1 << 16);
  uLong crc = crc32(0L, Z_NULL, 0);
  for (;;) {
    const std::size_t got = std::fread(block.data(), 1, block.size(), in.get());
    if (got > 0) crc = crc32(crc, block.data(), static_cast<uInt>(got));
    if (got < block.size()) break;
  }
  if (std::ferror(in.get())) return std::nullopt;
  return static_cast<std::uint32_t>(crc);
}

std::uint32_t GetCRC32(std::string_view bytes) {
  uLong crc = crc32(0L, Z_NULL, 0);
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  return static_cast<std::uint32_t>(crc32_z(crc, p, bytes.size()));
}

std::string logKeyText(std::uint32_t crc) { return std::to_string(crc); }

bool setLogKey(AppState& state, std::uint32_t crc) {
  LogKeySource now;
  if (!stampOf(state.openFileName, now)) {
    state.logKey.clear();
    state.logKeySource = {};
    return false;
  }
  state.logKey = logKeyText(crc);
  state.logKeySource = now;
  return true;
}

bool refreshLogKey(AppState& state) {
  if (state.openFileName.empty()) {
    state.logKey.clear();
    state.logKeySource = {};
    return true;
  }
  LogKeySource now;
  if (!stampOf(state.openFileName, now)) return false;
  const LogKeySource& was = state.logKeySource;
  if (!state.logKey.empty() && was.file == now.file && was.size == now.size && was.modified == now.modified)
    return true;
  const auto crc = GetCRC32(state.openFileName);
  if (!crc) return false;
  state.logKey = logKeyText(*crc);
  state.logKeySource = now;
  return true;
}

}  // namespace tervolin
