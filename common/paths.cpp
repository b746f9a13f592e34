#include "common/paths.h"

#include <fstream>
#include <system_error>

#include "common/atomic_file.h"
#include "common/hex.h"
#include "common/text.h"

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

std::string pathText(const fs::path& path) { return utf8ToCp1251(path.string()); }

fs::path pathFromText(std::string_view cp1251) { return fs::path(cp1251ToUtf8(cp1251)); }

fs::path executableDir() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::current_path() : exe.parent_path();
}

bool writeFileAtomically(const fs::path& target, std::string_view bytes) {
  AtomicFile file(target);
  return file.write(bytes) && file.commit();
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
