#pragma once
// The descriptive items of the research window's formula choice, in list
// order (Windows-1251). The first two characters of an item are the formula
// code it stands for; the list is kept exactly as users know it, so a few
// items name codes the catalogue does not have (a Cyrillic first letter,
// "W4") and some formula texts differ from what the catalogue computes.

#include <span>
#include <string_view>

namespace tervolin {

std::span<const std::string_view> formulaListItems();

}  // namespace tervolin
