#pragma once
// The ECU profiles: the 23 codes, the tree of the profile dialog, the
// switches each code sets, and where a profile's files lie.

#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "common/app_state.h"

namespace tervolin {

// One node of the profile tree, in display order; depth 0 is a top node.
// An empty code marks a group.
struct ProfileNode {
  std::string_view text;  // Windows-1251
  std::string_view code;
  int depth;
};

std::span<const ProfileNode> profileTree();
std::span<const std::string_view> profileCodes();
bool isProfileCode(std::string_view code);  // case-sensitive

// The readable name of a profile as the dialog's tree shows it: the first
// node with the code and the groups above it, joined by " › " (Windows-1251;
// "Hyndai2" is "Hyndai › G4EE"). Empty for a text that is not a code.
std::string profileTreePath(std::string_view code);

struct ProfileSwitches {
  int lengthOffset = 0;            // 3 when responses carry a length byte
  bool byteOrderInversion = false;
  int requestCodeWidth = 4;        // 4 or 6 hex digits
  bool skipsUsedParameterSelection = false;
};

ProfileSwitches switchesFor(std::string_view profileCode);
// Sets the three decoding switches of the state from state.profileCode.
void applyProfileSwitches(AppState& state);

// The profile's definition file in the external program's folder:
// pids\<code>\powertrain\pids.ini, or pids\Hyndai\powertrain2\pids.ini for
// "Hyndai2" (folder names matched without regard to case).
std::filesystem::path profileDefinitionPath(const std::filesystem::path& orvikPath, std::string_view profileCode);

}  // namespace tervolin
