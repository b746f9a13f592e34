#pragma once
// The colours of the parameter graphs' colour pickers. The settings store
// keeps a picker's position in this list, not the colour, so the order is
// part of the stored format: 16 standard and 4 extended colours, then the
// system colours of the windowing platform (which the windows append).

#include <array>
#include <cstdint>
#include <string_view>

#include "common/text.h"

namespace tervolin {

struct PickerColour {
  std::uint32_t rgb;      // 0xRRGGBB
  std::string_view name;  // Windows-1251, as the picker shows it
};

inline constexpr std::array<PickerColour, 20> kPickerColours = {{
    {0x000000, "Черный"_w},
    {0x800000, "Бордовый"_w},
    {0x008000, "Зеленый"_w},
    {0x808000, "Оливковый"_w},
    {0x000080, "Темно-синий"_w},
    {0x800080, "Фиолетовый"_w},
    {0x008080, "Сине-зеленый"_w},
    {0x808080, "Серый"_w},
    {0xC0C0C0, "Серебристый"_w},
    {0xFF0000, "Красный"_w},
    {0x00FF00, "Лайм"_w},
    {0xFFFF00, "Желтый"_w},
    {0x0000FF, "Синий"_w},
    {0xFF00FF, "Фуксия"_w},
    {0x00FFFF, "Голубой"_w},
    {0xFFFFFF, "Белый"_w},
    {0xC0DCC0, "Денежный зеленый"_w},
    {0xA6CAF0, "Небесно-голубой"_w},
    {0xFFFBF0, "Кремовый"_w},
    {0xA0A0A4, "Средне-серый"_w},
}};

// Picker indexes the windows start with.
inline constexpr std::array<int, 6> kDesignSeriesColours = {9, 2, 1, 12, 13, 7};  // red, green, maroon, blue, fuchsia, gray
inline constexpr int kBlackColour = 0;
inline constexpr int kWhiteColour = 15;
inline constexpr int kRedColour = 9;
inline constexpr int kGreenColour = 2;

}  // namespace tervolin
