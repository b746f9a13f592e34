#pragma once
// What the desktop program keeps beside the general settings: the files
// opened last and the main window's place. They live under a key of their
// own, kDesktopKey, so that storing them never creates the settings key
// whose absence marks the first run.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "common/registry.h"

namespace tervolin {

inline constexpr std::string_view kDesktopKey = "Software\\TervolinDesktop";

// The last files opened, newest first, at most kMax, kept in the registry
// under kDesktopKey\RecentFiles as the string values "1" .. "8".
class RecentFiles {
 public:
  static constexpr std::size_t kMax = 8;

  // Reads the stored list (entries that are not paths are skipped).
  explicit RecentFiles(Registry& registry);

  const std::vector<std::filesystem::path>& files() const { return files_; }

  // Puts `file` first (an earlier entry of the same file moves up), drops
  // what passes kMax, and stores the list. A path that the stored text cannot
  // hold (a character outside Windows-1251) is not kept.
  void add(const std::filesystem::path& file);
  void remove(const std::filesystem::path& file);
  void clear();

 private:
  void store();

  Registry& registry_;
  std::vector<std::filesystem::path> files_;
};

// The main window's place on the screen in pixels, and whether it was
// maximised; kept under kDesktopKey\Window.
struct WindowPlace {
  int x = 0, y = 0, width = 0, height = 0;
  bool maximized = false;
  bool operator==(const WindowPlace&) const = default;
};

std::optional<WindowPlace> readWindowPlace(const Registry& registry);
bool storeWindowPlace(Registry& registry, const WindowPlace& place);

// A screen's available area (without panels).
struct ScreenArea {
  int x = 0, y = 0, width = 0, height = 0;
};

// Where the window goes: the stored place, made to fit `screen` (no larger
// than it, moved inside it); without one the default size fitted to the
// screen and centred on it. The maximised state is kept.
WindowPlace fitWindowPlace(const std::optional<WindowPlace>& stored, const ScreenArea& screen, int defaultWidth,
                           int defaultHeight);

}  // namespace tervolin
