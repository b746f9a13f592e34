#include "profiles/settings_store.h"

#include "common/paths.h"

namespace tervolin::settings {

std::string settingsKey(std::string_view subkey) {
  std::string key(kSettingsKey);
  key += '\\';
  key += subkey;
  return key;
}

std::string settingsKey(std::string_view subkey, std::string_view subsubkey) {
  std::string key = settingsKey(subkey);
  key += '\\';
  key += subsubkey;
  return key;
}

std::filesystem::path folderWithSeparator(const std::filesystem::path& file) {
  std::filesystem::path folder = file.parent_path();
  if (folder.empty()) return {};
  // Appending an empty part leaves exactly one trailing separator.
  return folder / "";
}

bool settingsExist(const Registry& registry) { return registry.keyExists(kSettingsKey); }

void readStartupSettings(const Registry& registry, AppState& state) {
  if (!settingsExist(registry)) return;
  const auto tableOnly = registry.readInt(kSettingsKey, kTablOnly);
  if (!tableOnly) return;
  state.tableOnly = static_cast<std::int16_t>(*tableOnly);
  const auto graphsOnly = registry.readInt(kSettingsKey, kGraphOnly);
  if (!graphsOnly) return;
  state.graphsOnly = static_cast<std::int16_t>(*graphsOnly);
  if (const auto last = registry.readString(kSettingsKey, kLastProfile)) state.lastProfile = *last;
}

void readOrvikPath(const Registry& registry, AppState& state) {
  const auto path = registry.readString(kSettingsKey, kOrvikPath);
  state.orvikPath = path ? pathFromText(*path) : std::filesystem::path();
}

SettingsRead readDialogSettings(const Registry& registry, AppState& state) {
  if (!settingsExist(registry)) return SettingsRead::NoKey;
  // The three integers in their fixed order, each into its state field.
  struct IntField {
    std::string_view name;
    std::int16_t AppState::*field;
  };
  static constexpr IntField kFields[] = {
      {kAutoTabl, &AppState::tableAutodetect},
      {kTablOnly, &AppState::tableOnly},
      {kGraphOnly, &AppState::graphsOnly},
  };
  for (const IntField& f : kFields) {
    const auto value = registry.readInt(kSettingsKey, f.name);
    if (!value) return SettingsRead::Failed;
    state.*f.field = static_cast<std::int16_t>(*value);
  }
  // A missing path means the program's own folder; a value of the wrong kind
  // is a read error.
  if (registry.valueExists(kSettingsKey, kOrvikPath)) {
    const auto path = registry.readString(kSettingsKey, kOrvikPath);
    if (!path) return SettingsRead::Failed;
    state.orvikPath = pathFromText(*path);
  } else {
    state.orvikPath.clear();
  }
  return SettingsRead::Read;
}

namespace {

bool writeFlag(Registry& registry, std::string_view name, bool on, std::int16_t& field) {
  if (!registry.writeInt(kSettingsKey, name, on ? 1 : 0)) return false;
  field = on ? 1 : 0;
  return true;
}

}  // namespace

bool saveSettings(Registry& registry, AppState& state, const SettingsChoice& choice) {
  if (!registry.createKey(kSettingsKey)) return false;
  if (choice.useLocalFolder) {
    if (!registry.writeString(kSettingsKey, kOrvikPath, "")) return false;
    state.orvikPath.clear();
  }
  if (choice.graphsOnly) {
    if (!writeFlag(registry, kGraphOnly, true, state.graphsOnly)) return false;
    // TablOnly and AutoTabl keep what was stored; a value never stored would
    // stop every later read of the settings, so it is written now.
    if (!registry.readInt(kSettingsKey, kAutoTabl) &&
        !writeFlag(registry, kAutoTabl, choice.tableAutodetect, state.tableAutodetect))
      return false;
    if (!registry.readInt(kSettingsKey, kTablOnly) &&
        !writeFlag(registry, kTablOnly, choice.tableOnly, state.tableOnly))
      return false;
    return true;
  }
  return writeFlag(registry, kGraphOnly, false, state.graphsOnly) &&
         writeFlag(registry, kAutoTabl, choice.tableAutodetect, state.tableAutodetect) &&
         writeFlag(registry, kTablOnly, choice.tableOnly, state.tableOnly);
}

bool storeOrvikPath(Registry& registry, const std::filesystem::path& path) {
  return registry.writeString(kSettingsKey, kOrvikPath, pathText(path));
}

void cleanStoredGraphSettings(Registry& registry) {
  for (std::string_view subkey : kCleanedSubkeys) {
    const std::string key = settingsKey(subkey);
    if (registry.keyExists(key)) registry.deleteKey(key);
  }
}

bool storeLastProfile(Registry& registry, std::string_view code) {
  return registry.writeString(kSettingsKey, kLastProfile, code);
}

}  // namespace tervolin::settings
