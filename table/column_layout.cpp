#include "table/column_layout.h"

#include <unordered_set>

#include "common/hex.h"
#include "common/number_format.h"
#include "common/text.h"
#include "logs/log_key.h"
#include "profiles/settings_store.h"

namespace tervolin {
namespace {

constexpr std::string_view kMissingWidth = "Ошибка чтения реестра: нет значения "_w;

// A key path from parts joined by '\', empty parts left out (no profile
// or no log key yet).
std::string keyOf(std::initializer_list<std::string_view> parts) {
  std::string key(kSettingsKey);
  for (std::string_view part : parts) {
    if (part.empty()) continue;
    key += '\\';
    key += part;
  }
  return key;
}

void refreshKey(AppState& state) {
  if (!state.openFileName.empty()) refreshLogKey(state);
}

}  // namespace

std::string headingKey(const ParamDef& def) { return delspace(def.requestCode + "/" + def.positionField); }

std::size_t headingKeyLength(const AppState& state) { return state.requestCodeWidth == 6 ? 11 : 9; }

std::vector<std::string> hiddenListPieces(std::string_view list, std::size_t length) {
  std::vector<std::string> pieces;
  if (length == 0) return pieces;
  const auto count = roundedQuotient(static_cast<std::int64_t>(list.size()), static_cast<std::int64_t>(length));
  for (std::int64_t i = 0; i < count; ++i) {
    const std::size_t at = static_cast<std::size_t>(i) * length;
    pieces.emplace_back(at < list.size() ? list.substr(at, length) : std::string_view());
  }
  return pieces;
}

std::string hiddenColumnsKey(const AppState& state) { return keyOf({state.profileCode, settings::kHideCols}); }

std::string columnWidthsKey(const AppState& state) {
  return keyOf({state.profileCode, settings::kColWidth, state.logKey});
}

std::string columnWidthName(int column) { return "Col[" + intText(column) + "]"; }

void SaveParam(AppState& state, Registry& registry, const Grid& grid) {
  if (state.viewMode != ViewMode::Table) return;
  refreshKey(state);

  std::unordered_set<std::string_view> shown;
  for (int c = 0; c < grid.columnCount(); ++c) shown.insert(grid.cell(c, 0));
  std::string hidden;
  for (const ParamDef& def : state.definitions) {
    const std::string key = headingKey(def);
    if (!shown.count(key)) hidden += key;
  }

  const std::string widths = columnWidthsKey(state);
  if (registry.createKey(widths))
    for (int c = 0; c < grid.columnCount(); ++c) registry.writeInt(widths, columnWidthName(c), grid.columnWidth(c));
  storeHiddenList(state, registry, hidden);
}

void storeHiddenList(AppState& state, Registry& registry, std::string_view list) {
  const std::string key = hiddenColumnsKey(state);
  if (registry.createKey(key)) registry.writeString(key, state.logKey, list);
}

std::string storedHiddenList(AppState& state, Registry& registry) {
  refreshKey(state);
  const std::string key = hiddenColumnsKey(state);
  if (!registry.createKey(key) && !registry.keyExists(key)) return {};
  return registry.readString(key, state.logKey).value_or(std::string());
}

void applyColumnLayout(AppState& state, Registry& registry, UserChannel& channel, Grid& grid) {
  const std::string list = storedHiddenList(state, registry);
  for (const std::string& piece : hiddenListPieces(list, headingKeyLength(state))) {
    // After a deletion the scan goes on at the next index: the column that
    // moved into the deleted one's place is not compared with this piece.
    for (int c = 0; c < grid.columnCount(); ++c)
      if (grid.cell(c, 0) == piece) grid.deleteColumn(c);
  }

  const std::string widths = columnWidthsKey(state);
  if (!registry.keyExists(widths)) return;
  for (int c = 0; c < grid.columnCount(); ++c) {
    const auto width = registry.readInt(widths, columnWidthName(c));
    if (!width) {
      channel.message(std::string(kMissingWidth) + columnWidthName(c));
      return;
    }
    grid.setColumnWidth(c, *width);
  }
}

void standardColumnWidths(Grid& grid) {
  for (int c = 0; c < grid.columnCount(); ++c) grid.setColumnWidth(c, grid.defaultColumnWidth());
}

}  // namespace tervolin
