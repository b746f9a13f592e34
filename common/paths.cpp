#include "common/paths.h"

#include <unistd.h>

#include <fstream>
#include <optional>
#include <ostream>
#include <system_error>

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

namespace {

// The file a write to `target` lands in: symbolic links followed to their end
// (a relative link counts from its own folder). Nothing for a link chain too
// long to be anything but a loop.
std::optional<fs::path> linkTarget(const fs::path& target) {
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

bool writeFileAtomically(const fs::path& target, const std::function<void(std::ostream&)>& write) {
  const std::optional<fs::path> file = linkTarget(target);
  if (!file) return false;
  std::error_code ec;
  const fs::file_status status = fs::status(*file, ec);
  if (fs::exists(status) && !fs::is_regular_file(status)) {
    std::ofstream out(*file, std::ios::binary);
    if (!out) return false;
    write(out);
    out.flush();
    return static_cast<bool>(out);
  }
  fs::path temp = *file;
  temp += ".tmp" + std::to_string(::getpid());
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    write(out);
    out.flush();
    if (!out) {
      out.close();
      fs::remove(temp, ec);
      return false;
    }
  }
  fs::rename(temp, *file, ec);
  if (ec) {
    fs::remove(temp, ec);
    return false;
  }
  return true;
}

bool writeFileAtomically(const fs::path& target, std::string_view bytes) {
  return writeFileAtomically(target, [bytes](std::ostream& out) {
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  });
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
