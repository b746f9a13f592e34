#include "charts/series_items.h"

#include "common/text.h"
#include "logs/line_text.h"

namespace tervolin {

using logtext::copyAt;

std::string seriesItem(std::string_view requestCode, std::string_view positionField, std::string_view name,
                       int width) {
  std::string item(copyAt(requestCode, 3, width - 2));
  item += '/';
  item += positionField;
  item += ' ';
  item += name;
  return item;
}

bool belongsToItem(std::string_view item, std::string_view requestCode, std::string_view positionField,
                   int width) {
  if (positionField.size() < 4) return false;
  return copyAt(item, 1, width - 2) == copyAt(requestCode, 3, width - 2) && copyAt(item, width, 4) == positionField;
}

bool takesPart(std::string_view listText) { return !listText.empty() && listText != "Нет"_w; }

std::vector<std::uint8_t> sourceMasks(std::span<const RecordSource> sources, std::span<const std::string> items,
                                      int width) {
  std::vector<std::uint8_t> masks(sources.size(), 0);
  for (std::size_t k = 0; k < items.size() && k < 8; ++k) {
    if (!takesPart(items[k])) continue;
    for (std::size_t s = 0; s < sources.size(); ++s)
      if (belongsToItem(items[k], sources[s].requestCode, sources[s].positionField, width))
        masks[s] |= static_cast<std::uint8_t>(1u << k);
  }
  return masks;
}

}  // namespace tervolin
