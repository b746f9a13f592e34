#include "common/paths.h"

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <system_error>

#include "common/hex.h"

namespace tervolin {
namespace fs = std::filesystem;

fs::path resolveIgnoringCase(const fs::path& base, std::string_view relative) {
  fs::path current = base;
  bool matching = true;
  std::size_t start = 0;
  while (start <= relative.size()) {
    std::size_t end = relative.find_first_of("\\/", start);
    if (end == std::string_view::npos) end = relative.size();
    const std::string_view part = relative.substr(start, end - start);
    start = end + 1;
    if (part.empty()) continue;
    if (matching) {
      std::error_code ec;
      if (fs::exists(current / part, ec)) {
        current /= part;
        continue;
      }
      bool found = false;
      for (fs::directory_iterator it(current, ec), last; !ec && it != last; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (equalsIgnoreCase(name, part)) {
          current = it->path();
          found = true;
          break;
        }
      }
      if (found) continue;
      matching = false;
    }
    current /= part;
  }
  return current;
}

bool fileExistsIgnoringCase(const fs::path& base, std::string_view relative) {
  std::error_code ec;
  return fs::is_regular_file(resolveIgnoringCase(base, relative), ec);
}

fs::path executableDir() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::current_path() : exe.parent_path();
}

bool writeFileAtomically(const fs::path& target, std::string_view bytes) {
  fs::path temp = target;
  temp += ".tmp" + std::to_string(::getpid());
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) {
      out.close();
      std::remove(temp.c_str());
      return false;
    }
  }
  std::error_code ec;
  fs::rename(temp, target, ec);
  if (ec) {
    fs::remove(temp, ec);
    return false;
  }
  return true;
}

bool readWholeFile(const fs::path& file, std::string& bytes) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  std::error_code ec;
  const auto size = fs::file_size(file, ec);
  if (ec) return false;
  bytes.resize(size);
  in.read(bytes.data(), static_cast<std::streamsize>(size));
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return !in.bad();
}

}  // namespace tervolin
