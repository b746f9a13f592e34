#include "charts/graph_settings.h"

#include <cmath>
#include <optional>

#include "common/number_format.h"
#include "profiles/settings_store.h"

namespace tervolin {
namespace {

constexpr std::string_view kColorsValue = "colors";
constexpr std::string_view kNotWholeNumber = "' не является целым числом"_w;

constexpr std::array<std::string_view, kSeriesCount> kListTags = {"1:", "2:", "3:", "4:", "5:", "6:"};
constexpr std::array<std::string_view, kSeriesCount> kColourTags = {"1c:", "2c:", "3c:", "4c:", "5c:", "6c:"};
constexpr std::string_view kTimingTag = "p2p3:";
constexpr std::string_view kFitTag = "m:";
constexpr std::string_view kUnitTag = "t:";
constexpr std::string_view kBackgroundTag = "cb:";
constexpr std::string_view kWidthTag = "ll:";
constexpr std::string_view kCursorTag = "cl:";

bool isFieldChar(char c) { return (c >= '0' && c <= '9') || c == '-'; }

// The field after the first occurrence of `tag`: the run of digits and "-"
// after it, less its last character when that character begins the next tag
// ("2:" after a list field, "3c:" after a colour field). Every field written
// by the store reads back whole this way, also one longer than 3 characters
// (a list index of 1000, a timing of 1234). No value when the tag is absent.
std::optional<std::string_view> fieldAfter(std::string_view text, std::string_view tag) {
  const std::size_t at = text.find(tag);
  if (at == std::string_view::npos) return std::nullopt;
  const std::size_t start = at + tag.size();
  std::size_t end = start;
  while (end < text.size() && isFieldChar(text[end])) ++end;
  const bool nextTagStartsWithDigit =
      end < text.size() &&
      (text[end] == ':' || (text[end] == 'c' && end + 1 < text.size() && text[end + 1] == ':'));
  if (nextTagStartsWithDigit && end > start) --end;
  return text.substr(start, end - start);
}

// Restores one integer field into `target` (an index into a list of `size`
// entries; beyond it, no entry is selected). False with the conversion
// message when the field is not a whole number.
bool restoreIndex(std::string_view text, std::string_view tag, int size, int& target, UserChannel& channel) {
  const std::optional<std::string_view> field = fieldAfter(text, tag);
  if (!field) return true;
  const std::optional<std::int64_t> value = parseInteger(*field);
  if (!value) {
    channel.message("'" + std::string(*field) + std::string(kNotWholeNumber));
    return false;
  }
  target = *value >= 0 && *value < size ? static_cast<int>(*value) : -1;
  return true;
}

}  // namespace

std::string threeDigitField(long long value) {
  std::string text = std::to_string(value);
  if (text.size() < 3) text.insert(0, 3 - text.size(), '0');
  return text;
}

std::string timingField(std::string_view timing, char decimalMark) {
  if (timing.empty()) return "000";
  if (const auto whole = parseInteger(timing)) return threeDigitField(*whole);
  if (const auto number = parseNumber(timing, decimalMark)) {
    const double rounded = std::round(*number);
    if (std::fabs(rounded) < 9e18) return threeDigitField(static_cast<long long>(rounded));
  }
  return "000";
}

std::string perLogSettings(const GraphControls& c, char decimalMark) {
  std::string text;
  for (int k = 0; k < kSeriesCount; ++k) text.append(kListTags[k]).append(threeDigitField(c.list[k]));
  text.append(kTimingTag).append(timingField(c.timing, decimalMark));
  text.append(kFitTag).append(c.fit ? "1" : "0");
  text.append(kUnitTag).append(threeDigitField(c.unit));
  text.append(kBackgroundTag).append(threeDigitField(c.background));
  text.append(kWidthTag).append(threeDigitField(c.lineWidth));
  text.append(kCursorTag).append(threeDigitField(c.cursorLine));
  for (int k = 0; k < kSeriesCount; ++k) text.append(kColourTags[k]).append(threeDigitField(c.colour[k]));
  return text;
}

std::string colourSettings(const GraphControls& c) {
  std::string text;
  text.append(kBackgroundTag).append(threeDigitField(c.background));
  text.append(kWidthTag).append(std::to_string(c.lineWidth));
  text.append(kCursorTag).append(threeDigitField(c.cursorLine));
  for (int k = 0; k < kSeriesCount; ++k) text.append(kColourTags[k]).append(threeDigitField(c.colour[k]));
  return text;
}

bool restoreGraphSettings(const Registry& registry, std::string_view logKey, const ControlSizes& sizes,
                          GraphControls& c, UserChannel& channel) {
  const std::string perLogKey = settings::settingsKey(settings::kCrcDatabases);
  if (!logKey.empty() && registry.keyExists(perLogKey)) {
    const std::string text = registry.readString(perLogKey, logKey).value_or("");
    if (!text.empty()) {
      for (int k = 0; k < kSeriesCount; ++k)
        if (!restoreIndex(text, kListTags[k], sizes.items, c.list[k], channel)) return false;
      if (!restoreIndex(text, kUnitTag, sizes.units, c.unit, channel)) return false;
      if (const auto timing = fieldAfter(text, kTimingTag)) c.timing = *timing == "000" ? "" : std::string(*timing);
      if (const std::size_t at = text.find(kFitTag); at != std::string::npos)
        c.fit = text.compare(at + kFitTag.size(), 1, "1") == 0;
    }
  }
  const std::string colourKey = settings::settingsKey(settings::kGraphColors);
  if (!registry.keyExists(colourKey)) return true;
  const std::string text = registry.readString(colourKey, kColorsValue).value_or("");
  if (text.empty()) return true;
  for (int k = 0; k < kSeriesCount; ++k)
    if (!restoreIndex(text, kColourTags[k], sizes.colours, c.colour[k], channel)) return false;
  return restoreIndex(text, kBackgroundTag, sizes.colours, c.background, channel) &&
         restoreIndex(text, kWidthTag, sizes.widths, c.lineWidth, channel) &&
         restoreIndex(text, kCursorTag, sizes.colours, c.cursorLine, channel);
}

bool storeGraphSettings(Registry& registry, std::string_view logKey, const GraphControls& controls,
                        char decimalMark) {
  bool ok = true;
  if (!logKey.empty()) {
    const std::string perLogKey = settings::settingsKey(settings::kCrcDatabases);
    ok = registry.createKey(perLogKey) && registry.writeString(perLogKey, logKey, perLogSettings(controls, decimalMark));
  }
  const std::string colourKey = settings::settingsKey(settings::kGraphColors);
  return registry.createKey(colourKey) && registry.writeString(colourKey, kColorsValue, colourSettings(controls)) && ok;
}

}  // namespace tervolin
