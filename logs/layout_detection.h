#pragma once
// Layout detection on a text log held in memory: the tester and ECU address
// pairs, the positions where they start and the adapter offset.

#include <string_view>

#include "common/app_state.h"

namespace tervolin {

LogLayout detectLayout(std::string_view logText);

}  // namespace tervolin
