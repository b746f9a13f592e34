#include "profiles/profile_catalogue.h"

#include <algorithm>
#include <array>
#include <string>

#include "common/hex.h"
#include "common/paths.h"
#include "common/text.h"

namespace tervolin {
namespace {

// The profile dialog's tree, top to bottom.
constexpr std::array kTree = {
    ProfileNode{"Тойота"_w, "Toyota", 0},
    ProfileNode{"Ниссан"_w, "Nissan", 0},
    ProfileNode{"Hyndai", "Hyndai", 0},
    ProfileNode{"G4EE", "Hyndai2", 1},
    ProfileNode{"G4EC", "Hyndai", 1},
    ProfileNode{"OBDII", "OBDII", 0},
    ProfileNode{"China", "", 0},
    ProfileNode{"MT20U", "Chery", 1},
    ProfileNode{"MT20U2", "GreatWall", 1},
    ProfileNode{"ВАЗ/ГАЗ/УАЗ"_w, "", 0},
    ProfileNode{"ВАЗ"_w, "", 1},
    ProfileNode{"Январь5, VS5, Bosch 1.5.4, Январь 7.2(+)"_w, "", 2},
    ProfileNode{"Россия 83"_w, "B154R", 3},
    ProfileNode{"Евро 2"_w, "B154E2", 3},
    ProfileNode{"Bosch 7.9.7(+), M73", "B797", 2},
    ProfileNode{"Bosch ME17.9.7, M74, M75", "B1797V", 2},
    ProfileNode{"Bosch MP7.0 euro2", "MP7E2", 2},
    ProfileNode{"Bosch MP7.0 euro3", "MP7E3", 2},
    ProfileNode{"Гранта"_w, "M74CAN", 2},
    ProfileNode{"Largus", "largus", 2},
    ProfileNode{"ГАЗ/УАЗ"_w, "", 1},
    ProfileNode{"Bosch ME17.9.7", "B1797G", 2},
    ProfileNode{"Микас11(Евро2)"_w, "M11E2", 2},
    ProfileNode{"Микас11(Евро3)"_w, "M11E3", 2},
    ProfileNode{"Микас 10.3"_w, "M103E2", 2},
    ProfileNode{"Микас 10.3+"_w, "M103E3", 2},
    ProfileNode{"Микас 7.6"_w, "M76", 2},
    ProfileNode{"Микас 12.3(Евро4)"_w, "M11E3", 2},
    ProfileNode{"Renault", "", 0},
    ProfileNode{"Megane(II)/Clio(II)/Scenic", "megane", 1},
    ProfileNode{"Logan", "logan", 1},
};

// The decoding switches of each code (exact, case-sensitive codes).
struct CodeSwitches {
  std::string_view code;
  int lengthOffset;
  bool byteOrderInversion;
  int requestCodeWidth;
};

constexpr std::array kSwitches = {
    CodeSwitches{"Chery", 3, false, 4},     CodeSwitches{"GreatWall", 3, false, 4},
    CodeSwitches{"B154R", 3, true, 4},      CodeSwitches{"B154E2", 3, true, 4},
    CodeSwitches{"B797", 3, false, 4},      CodeSwitches{"B1797V", 3, false, 4},
    CodeSwitches{"B1797G", 3, false, 4},    CodeSwitches{"M74CAN", 0, false, 6},
    CodeSwitches{"Toyota", 0, false, 4},    CodeSwitches{"Hyndai", 0, true, 4},
    CodeSwitches{"Hyndai2", 0, true, 4},    CodeSwitches{"Nissan", 0, false, 6},
    CodeSwitches{"OBDII", 0, false, 4},     CodeSwitches{"M11E2", 3, true, 4},
    CodeSwitches{"M11E3", 3, true, 4},      CodeSwitches{"M103E2", 3, false, 4},
    CodeSwitches{"M103E3", 0, false, 4},    CodeSwitches{"M76", 0, false, 4},
    CodeSwitches{"MP7E2", 0, false, 4},     CodeSwitches{"MP7E3", 0, false, 4},
    CodeSwitches{"megane", 0, false, 4},    CodeSwitches{"largus", 0, false, 4},
    CodeSwitches{"logan", 0, false, 4},
};

// The 23 codes, in the order of kSwitches.
constexpr auto kCodes = [] {
  std::array<std::string_view, kSwitches.size()> codes{};
  for (std::size_t i = 0; i < kSwitches.size(); ++i) codes[i] = kSwitches[i].code;
  return codes;
}();

// Profiles whose logs are opened without the used-parameter selection; the
// code is compared in upper case here, unlike everywhere else.
constexpr std::array<std::string_view, 6> kSelectionSkippedUpper = {
    "B797", "B1797V", "M74CAN", "B1797G", "HYNDAI", "HYNDAI2"};

// Profiles whose definition file lies outside the usual pids\<code>\powertrain.
struct SpecialDefinitionPath {
  std::string_view code;
  std::string_view relative;
};
constexpr std::array kSpecialDefinitionPaths = {
    SpecialDefinitionPath{"Hyndai2", "pids\\Hyndai\\powertrain2\\pids.ini"},
};

}  // namespace

std::span<const ProfileNode> profileTree() { return kTree; }

std::span<const std::string_view> profileCodes() { return kCodes; }

bool isProfileCode(std::string_view code) {
  return std::find(kCodes.begin(), kCodes.end(), code) != kCodes.end();
}

std::string profileTreePath(std::string_view code) {
  if (code.empty()) return {};
  // The nodes above the one being looked at, by depth.
  std::array<std::string_view, 8> above{};
  for (const ProfileNode& node : kTree) {
    const auto depth = static_cast<std::size_t>(node.depth);
    if (depth >= above.size()) continue;
    above[depth] = node.text;
    if (node.code != code) continue;
    std::string path;
    for (std::size_t d = 0; d <= depth; ++d) {
      if (d > 0) path += " › "_w;
      path += above[d];
    }
    return path;
  }
  return {};
}

ProfileSwitches switchesFor(std::string_view profileCode) {
  ProfileSwitches switches;
  const auto it = std::find_if(kSwitches.begin(), kSwitches.end(),
                               [&](const CodeSwitches& s) { return s.code == profileCode; });
  if (it != kSwitches.end()) {
    switches.lengthOffset = it->lengthOffset;
    switches.byteOrderInversion = it->byteOrderInversion;
    switches.requestCodeWidth = it->requestCodeWidth;
  }
  const std::string upper = asciiUpper(profileCode);
  switches.skipsUsedParameterSelection =
      std::find(kSelectionSkippedUpper.begin(), kSelectionSkippedUpper.end(), upper) !=
      kSelectionSkippedUpper.end();
  return switches;
}

void applyProfileSwitches(AppState& state) {
  const ProfileSwitches switches = switchesFor(state.profileCode);
  state.lengthOffset = switches.lengthOffset;
  state.byteOrderInversion = switches.byteOrderInversion;
  state.requestCodeWidth = switches.requestCodeWidth;
}

std::filesystem::path profileDefinitionPath(const std::filesystem::path& orvikPath,
                                            std::string_view profileCode) {
  for (const SpecialDefinitionPath& special : kSpecialDefinitionPaths)
    if (special.code == profileCode) return resolveIgnoringCase(orvikPath, special.relative);
  std::string relative = "pids\\";
  relative += profileCode;
  relative += "\\powertrain\\pids.ini";
  return resolveIgnoringCase(orvikPath, relative);
}

}  // namespace tervolin
