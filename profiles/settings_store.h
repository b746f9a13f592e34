#pragma once
// The layout of the per-user settings key and the reads and writes of the
// general settings: the start-up read of the main window, the settings
// dialog's read and save, the clean-up of stored graph and layout settings,
// and the last profile.

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

#include "common/app_state.h"
#include "common/registry.h"

namespace tervolin::settings {

// Value names directly under kSettingsKey.
inline constexpr std::string_view kOrvikPath = "OrvikPath";      // string
inline constexpr std::string_view kGraphOnly = "GraphOnly";      // integer
inline constexpr std::string_view kTablOnly = "TablOnly";        // integer
inline constexpr std::string_view kAutoTabl = "AutoTabl";        // integer
inline constexpr std::string_view kLastProfile = "LastProfile";  // string

// Subkeys of kSettingsKey and of each per-profile subkey.
inline constexpr std::string_view kCrcDatabases = "crc_databases";
inline constexpr std::string_view kGraphColors = "graph_colors";
inline constexpr std::string_view kColWidth = "Col_Width";
inline constexpr std::string_view kHideCols = "HideCols";
inline constexpr std::string_view kMatrix = "matrix";

// Subkeys wiped by "Clean CRC", in the order they are deleted. The other
// profiles' subkeys are kept.
inline constexpr std::array<std::string_view, 7> kCleanedSubkeys = {
    kCrcDatabases, "GreatWall", "Toyota", "Nissan", "Hyndai", "OBDII", "Chery"};

// kSettingsKey + "\" + each part in turn ("Software\Tervolin\Toyota\matrix").
std::string settingsKey(std::string_view subkey);
std::string settingsKey(std::string_view subkey, std::string_view subsubkey);

// The folder of a picked file, with a trailing separator.
std::filesystem::path folderWithSeparator(const std::filesystem::path& file);

// True when the settings key exists (false at the first run).
bool settingsExist(const Registry& registry);

// Start-up: TablOnly, GraphOnly, LastProfile in this order into the state. A
// missing or non-integer integer value ends the reading; what was not read
// keeps its value. A missing key changes nothing.
void readStartupSettings(const Registry& registry, AppState& state);

// OrvikPath into state.orvikPath (empty when missing).
void readOrvikPath(const Registry& registry, AppState& state);

enum class SettingsRead {
  NoKey,   // the key does not exist: the dialog leaves its controls alone
  Read,    // all four values were read into the state
  Failed,  // a value was missing or of the wrong kind: the values before it were read
};

// The settings dialog's activation read: AutoTabl, TablOnly, GraphOnly
// (integers, each required) and OrvikPath (string, empty when missing), in
// this order, into the state.
SettingsRead readDialogSettings(const Registry& registry, AppState& state);

// What the settings dialog's check boxes say when "Сохранить" is pressed.
struct SettingsChoice {
  bool tableOnly = false;       // chk1
  bool tableAutodetect = false; // chk2
  bool graphsOnly = false;      // chk3
  bool useLocalFolder = true;   // chk4
};

// Saves the dialog's choice and mirrors it into the state. With graphs only
// set, TablOnly and AutoTabl keep their stored values; when they were never
// stored they are written from the choice, so that later reads (which stop
// at a missing integer) still find every value. False when a write failed;
// the steps after the failure are skipped.
bool saveSettings(Registry& registry, AppState& state, const SettingsChoice& choice);

// Writes OrvikPath (creating the key). False when the write failed.
bool storeOrvikPath(Registry& registry, const std::filesystem::path& path);

// Deletes kCleanedSubkeys where they exist, silently.
void cleanStoredGraphSettings(Registry& registry);

// Writes LastProfile (creating the key); a failure is ignored by the caller.
bool storeLastProfile(Registry& registry, std::string_view code);

}  // namespace tervolin::settings
