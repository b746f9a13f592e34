#include "charts/matrix_items.h"

namespace tervolin {

std::string matrixItem(const ParamDef& definition, int requestCodeWidth) {
  const std::size_t width = requestCodeWidth > 0 ? static_cast<std::size_t>(requestCodeWidth) : 0;
  std::string item = definition.requestCode.substr(0, width);
  item += '/';
  item += definition.positionField;
  item += ' ';
  item += definition.name;
  return item;
}

std::vector<std::string> matrixItems(const DefinitionTable& definitions, int requestCodeWidth) {
  std::vector<std::string> items;
  items.reserve(definitions.size());
  for (const ParamDef& d : definitions) items.push_back(matrixItem(d, requestCodeWidth));
  return items;
}

std::string matrixRecordKey(const RecordSource& source) {
  std::string key = source.requestCode;
  key += '/';
  key += source.positionField;
  key += ' ';
  key += source.name;
  return key;
}

std::vector<bool> sourcesOfItem(const RecordList& records, std::string_view item) {
  std::vector<bool> belongs;
  belongs.reserve(records.sources().size());
  for (const RecordSource& s : records.sources()) belongs.push_back(matrixRecordKey(s) == item);
  return belongs;
}

}  // namespace tervolin
