#include "decode/record_decoding.h"

#include "common/text.h"

namespace tervolin {

void DecodingTable::add(std::string_view requestCode, std::string_view positionField, std::string_view formulaCode) {
  definitions_.emplace_back(requestCode, positionField, formulaCode);
  plans_.emplace_back(definitions_.back(), options_.inversion);
}

DecodingTable prepareDefinitions(const DefinitionTable& definitions, RecordList& records, DecodeOptions options) {
  DecodingTable table(options);
  for (const ParamDef& d : definitions) {
    records.addSource({d.requestCode, d.positionField, d.unit, d.name});
    table.add(d.requestCode, d.positionField, d.formulaCode);
  }
  return table;
}

std::string decodeFailureText(std::string_view dataText, const PreparedDefinition& definition) {
  std::string text("Ошибка при распознавании данных: \\"_w);
  text.append(dataText).append("/").append(definition.requestCode).append("/");
  text.append(definition.positionField).append("/").append(definition.formulaCode);
  return text;
}

}  // namespace tervolin
