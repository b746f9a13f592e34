#include "profiles/desktop_settings.h"

#include <algorithm>
#include <array>
#include <string>

#include "common/number_format.h"
#include "common/paths.h"

namespace tervolin {
namespace {

std::string subkey(std::string_view name) {
  std::string key(kDesktopKey);
  key += '\\';
  key += name;
  return key;
}

const std::string kRecentKey = subkey("RecentFiles");
const std::string kWindowKey = subkey("Window");

// The window's integer values, in the order of WindowPlace.
struct PlaceField {
  std::string_view name;
  int WindowPlace::*field;
};
constexpr std::array<PlaceField, 4> kPlaceFields = {{
    {"Left", &WindowPlace::x},
    {"Top", &WindowPlace::y},
    {"Width", &WindowPlace::width},
    {"Height", &WindowPlace::height},
}};
constexpr std::string_view kMaximized = "Maximized";

// One dimension: size no larger than the screen, start moved inside it.
void fit(int& start, int& size, int screenStart, int screenSize) {
  size = std::clamp(size, 1, std::max(1, screenSize));
  start = std::clamp(start, screenStart, screenStart + screenSize - size);
}

}  // namespace

RecentFiles::RecentFiles(Registry& registry) : registry_(registry) {
  for (std::size_t i = 1; i <= kMax; ++i) {
    const auto text = registry_.readString(kRecentKey, intText(static_cast<std::int64_t>(i)));
    if (!text || text->empty()) continue;
    files_.push_back(pathFromText(*text));
  }
}

void RecentFiles::add(const std::filesystem::path& file) {
  if (pathFromText(pathText(file)) != file) return;
  std::erase(files_, file);
  files_.insert(files_.begin(), file);
  if (files_.size() > kMax) files_.resize(kMax);
  store();
}

void RecentFiles::remove(const std::filesystem::path& file) {
  std::erase(files_, file);
  store();
}

void RecentFiles::clear() {
  files_.clear();
  store();
}

void RecentFiles::store() {
  registry_.deleteKey(kRecentKey);
  registry_.createKey(kRecentKey);
  for (std::size_t i = 0; i < files_.size(); ++i)
    registry_.writeString(kRecentKey, intText(static_cast<std::int64_t>(i + 1)), pathText(files_[i]));
}

std::optional<WindowPlace> readWindowPlace(const Registry& registry) {
  WindowPlace place;
  for (const PlaceField& f : kPlaceFields) {
    const auto value = registry.readInt(kWindowKey, f.name);
    if (!value) return std::nullopt;
    place.*f.field = *value;
  }
  if (place.width <= 0 || place.height <= 0) return std::nullopt;
  place.maximized = registry.readInt(kWindowKey, kMaximized).value_or(0) != 0;
  return place;
}

bool storeWindowPlace(Registry& registry, const WindowPlace& place) {
  bool ok = true;
  for (const PlaceField& f : kPlaceFields) ok = registry.writeInt(kWindowKey, f.name, place.*f.field) && ok;
  return registry.writeInt(kWindowKey, kMaximized, place.maximized ? 1 : 0) && ok;
}

WindowPlace fitWindowPlace(const std::optional<WindowPlace>& stored, const ScreenArea& screen, int defaultWidth,
                           int defaultHeight) {
  WindowPlace place = stored.value_or(WindowPlace{screen.x, screen.y, defaultWidth, defaultHeight, false});
  fit(place.x, place.width, screen.x, screen.width);
  fit(place.y, place.height, screen.y, screen.height);
  if (!stored) {
    place.x = screen.x + (screen.width - place.width) / 2;
    place.y = screen.y + (screen.height - place.height) / 2;
  }
  return place;
}

}  // namespace tervolin
