#include "charts/matrix_ranges.h"

#include "charts/matrix_cells.h"
#include "charts/matrix_items.h"
#include "charts/record_values.h"
#include "common/number_format.h"
#include "common/text.h"

namespace tervolin {

ValueRange scanRange(const RecordList& records, std::string_view item, char decimalMark, UserChannel& channel) {
  ValueRange range;
  const std::vector<bool> belongs = sourcesOfItem(records, item);
  RecordValues values(records, decimalMark);
  for (std::size_t k = 0; k < records.blockCount(); ++k) {
    for (const LogRecord& r : records.block(k)) {
      if (!belongs[r.source]) continue;
      double v;
      if (!values.read(r.value, v)) {
        channel.message(std::string("Ошибка преобразования"_w) + std::string(records.arena()->get(r.value)));
        return range;
      }
      if (v < range.smallest) range.smallest = v;
      if (v > range.largest) range.largest = v;
    }
  }
  return range;
}

AxisTexts axisTexts(const ValueRange& range, char decimalMark) {
  return {fixed2(range.smallest, decimalMark),
          fixedText((range.largest - range.smallest) / 16, kMatrixPrecision, 1, decimalMark),
          fixed2(range.largest, decimalMark)};
}

}  // namespace tervolin
