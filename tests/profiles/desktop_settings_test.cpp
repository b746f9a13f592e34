#include "profiles/desktop_settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/paths.h"
#include "common/text.h"
#include "profiles/settings_store.h"

namespace tervolin {
namespace {

namespace fs = std::filesystem;
using Paths = std::vector<fs::path>;

TEST(RecentFiles, NewestFirstWithoutRepeatsAtMostEight) {
  MemoryRegistry registry;
  {
    RecentFiles recent(registry);
    EXPECT_TRUE(recent.files().empty());
    for (int i = 1; i <= 10; ++i) recent.add("/logs/" + std::to_string(i) + ".log");
    recent.add("/logs/5.log");  // moves up, nothing is repeated
    EXPECT_EQ(recent.files(), (Paths{"/logs/5.log", "/logs/10.log", "/logs/9.log", "/logs/8.log", "/logs/7.log",
                                     "/logs/6.log", "/logs/4.log", "/logs/3.log"}));
    recent.remove("/logs/9.log");
    EXPECT_EQ(recent.files().size(), 7u);
  }
  // Read back as stored, in order; a Cyrillic path survives the store.
  RecentFiles again(registry);
  EXPECT_EQ(again.files().front(), fs::path("/logs/5.log"));
  EXPECT_EQ(again.files().size(), 7u);
  const fs::path russian = pathFromText("/Логи/заезд 1.log"_w);
  again.add(russian);
  EXPECT_EQ(RecentFiles(registry).files().front(), russian);
  // A name the stored text cannot hold is not kept.
  again.add(fs::path("/logs/\xE6\x97\xA5.log"));
  EXPECT_EQ(RecentFiles(registry).files().front(), russian);
  again.clear();
  EXPECT_TRUE(RecentFiles(registry).files().empty());
}

// Storing the desktop settings never creates the settings key: its absence
// is what marks the first run.
TEST(DesktopSettings, KeptOutsideTheSettingsKey) {
  MemoryRegistry registry;
  RecentFiles(registry).add("/logs/a.log");
  EXPECT_TRUE(storeWindowPlace(registry, {10, 20, 800, 600, true}));
  EXPECT_FALSE(settings::settingsExist(registry));
  EXPECT_EQ(readWindowPlace(registry), (WindowPlace{10, 20, 800, 600, true}));
}

TEST(WindowPlace, MissingOrBrokenValuesGiveNothing) {
  MemoryRegistry registry;
  EXPECT_FALSE(readWindowPlace(registry));
  storeWindowPlace(registry, {10, 20, 0, 600, false});
  EXPECT_FALSE(readWindowPlace(registry));  // no width
  storeWindowPlace(registry, {10, 20, 800, 600, false});
  registry.writeString(std::string(kDesktopKey) + "\\Window", "Top", "x");
  EXPECT_FALSE(readWindowPlace(registry));
}

TEST(WindowPlace, FitsTheScreen) {
  const ScreenArea screen{0, 0, 1600, 1000};
  const ScreenArea halfScale{0, 0, 800, 500};  // a 1600 x 1000 screen at scale factor 2
  const ScreenArea second{1600, 0, 1280, 1024};
  const struct {
    const char* what;
    std::optional<WindowPlace> stored;
    ScreenArea screen;
    WindowPlace want;
  } cases[] = {
      {"first start, centred", std::nullopt, screen, {300, 150, 1000, 700, false}},
      {"first start, larger than the screen", std::nullopt, halfScale, {0, 0, 800, 500, false}},
      {"stored place that fits", WindowPlace{40, 30, 900, 600, true}, screen, {40, 30, 900, 600, true}},
      {"too large", WindowPlace{40, 30, 2000, 1400, false}, screen, {0, 0, 1600, 1000, false}},
      {"off the right and bottom edge", WindowPlace{1500, 900, 800, 600, false}, screen, {800, 400, 800, 600, false}},
      {"left of and above the screen", WindowPlace{-300, -50, 800, 600, false}, screen, {0, 0, 800, 600, false}},
      {"on a screen that is now gone", WindowPlace{3000, 100, 800, 600, false}, screen, {800, 100, 800, 600, false}},
      {"on the second screen", WindowPlace{1700, 100, 800, 600, false}, second, {1700, 100, 800, 600, false}},
  };
  for (const auto& c : cases) EXPECT_EQ(fitWindowPlace(c.stored, c.screen, 1000, 700), c.want) << c.what;
}

}  // namespace
}  // namespace tervolin
