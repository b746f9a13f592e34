#pragma once
// One parameter definition of the current profile and the definition table.

#include <string>
#include <vector>

namespace tervolin {

struct ParamDef {
  std::string requestCode;    // hex digits, blanks removed ("2101")
  std::string name;           // shown in the table heading
  std::string unit;
  std::string positionField;  // "IISS": byte index, then "00" or bit 08..0F
  std::string formulaCode;    // two characters from the formula file, may be empty
  int column = 0;             // 0-based index in the file = column of the table
};

// The definition table holds at most this many entries.
inline constexpr std::size_t kMaxDefinitions = 1025;

using DefinitionTable = std::vector<ParamDef>;

}  // namespace tervolin
