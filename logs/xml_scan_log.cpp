#include "logs/xml_scan_log.h"

#include <pugixml.hpp>

#include <cstdint>
#include <new>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/hex.h"
#include "common/number_format.h"
#include "common/paths.h"
#include "common/text.h"
#include "decode/decode_fast.h"
#include "decode/record_decoding.h"
#include "logs/line_text.h"
#include "logs/xml_budget.h"
#include "profiles/definition_file.h"

namespace tervolin {
namespace {

using logtext::copyAt;

constexpr std::string_view kNoRoot = "Ошибка чтения XML"_w;
constexpr std::string_view kNotParsed = "Ошибка разбора XML: "_w;
constexpr std::string_view kAtByte = ", байт "_w;
constexpr std::string_view kBadService = "Ошибка чтения XML: значение sID не шестнадцатеричное: "_w;
constexpr std::string_view kInEntry = ", запись "_w;
constexpr std::string_view kUnreadable = "Не удалось прочитать файл "_w;
// The response service is the request service plus this.
constexpr std::int32_t kResponseBit = 0x40;

// The request service of a response service text ("61" gives "21"); no
// value when the text is not 1 to 8 hex digits.
std::optional<std::string> requestService(std::string_view sid) {
  if (sid.size() > 8) return std::nullopt;
  const auto value = parseHex(sid);
  if (!value) return std::nullopt;
  return intToHex(static_cast<std::int32_t>(static_cast<std::uint32_t>(*value)) - kResponseBit, 2);
}

class EntryReader {
 public:
  EntryReader(AppState& state, UserChannel& channel)
      : channel_(channel),
        output_(state.records, channel),
        table_(prepareDefinitions(state.definitions, state.records, {state.byteOrderInversion, state.decimalMark})),
        decoder_(table_) {
    for (std::size_t d = 0; d < state.definitions.size(); ++d)
      byCode_[state.definitions[d].requestCode].push_back(static_cast<std::uint32_t>(d));
  }

  // False when the entry's "sID" is not hex (the reading ends).
  bool entry(const pugi::xml_node& node, std::int32_t ordinal) {
    const pugi::xml_node element = node.first_child();
    if (!element) return true;
    const pugi::xml_attribute dataAttribute = element.attribute("Data");
    const pugi::xml_attribute sidAttribute = element.attribute("sID");
    if (!dataAttribute || !sidAttribute) return true;
    const std::string_view data = dataAttribute.value();
    const std::string_view sid = sidAttribute.value();
    const auto service = requestService(sid);
    if (!service) {
      std::string text(kBadService);
      text.append(sid).append(kInEntry).append(intText(ordinal));
      channel_.message(text);
      return false;
    }
    // The key: request service and the identifier byte, blanks removed.
    key_ = *service;
    appendWithoutBlanks(key_, copyAt(data, 1, 2));
    const auto group = byCode_.find(key_);
    if (group == byCode_.end()) return true;

    const std::string_view dataText = copyAt(data, 4, static_cast<long long>(data.size()));
    bytes_.assign(dataText);
    for (const std::uint32_t d : group->second) decoder_.decode(ordinal, d, bytes_, dataText, output_);
    return true;
  }

 private:
  UserChannel& channel_;
  RecordListOutput output_;
  DecodingTable table_;
  RecordDecoder decoder_;
  std::unordered_map<std::string, std::vector<std::uint32_t>> byCode_;
  std::string key_;
  ResponseBytes bytes_;
};

// The entries of a parsed document.
XmlReadOutcome readDocument(const pugi::xml_document& document, const pugi::xml_parse_result& parsed,
                            AppState& state, UserChannel& channel, const std::function<void()>& loadDefinitions,
                            Progress& progress) {
  if (parsed.status == pugi::status_out_of_memory) throw std::bad_alloc();
  const bool noRoot = parsed.status == pugi::status_no_document_element;
  if (!parsed && !noRoot) {
    std::string text(kNotParsed);
    text.append(parsed.description()).append(kAtByte).append(intText(parsed.offset));
    channel.message(text);
    return {XmlReadStatus::NotParsed};
  }

  if (loadDefinitions) loadDefinitions();
  state.records.clear();
  EntryReader reader(state, channel);
  const pugi::xml_node root = document.first_child();
  if (noRoot || !root) {
    channel.message(kNoRoot);
    return {XmlReadStatus::NoRoot};
  }
  std::int32_t ordinal = 0;
  for (pugi::xml_node entry = root.first_child(); entry; entry = entry.next_sibling(), ++ordinal) {
    if (ordinal % 4096 == 0) {
      throwIfCancelled(progress);
      progress.lines(static_cast<std::uint64_t>(ordinal));
    }
    if (!reader.entry(entry, ordinal)) return {XmlReadStatus::BadService};
  }
  return {XmlReadStatus::Read};
}

}  // namespace

XmlReadOutcome readXmlScanLog(std::string_view bytes, AppState& state, UserChannel& channel,
                              const std::function<void()>& loadDefinitions, Progress& progress) {
  requireXmlDocumentFits(bytes, state.records.memoryLimit());
  pugi::xml_document document;
  const pugi::xml_parse_result parsed = document.load_buffer(bytes.data(), bytes.size());
  return readDocument(document, parsed, state, channel, loadDefinitions, progress);
}

XmlReadOutcome XML1Click(AppState& state, UserChannel& channel, const std::filesystem::path& file,
                         Progress& progress) {
  std::string bytes;
  if (!readWholeFile(file, bytes)) {
    channel.message(std::string(kUnreadable) + pathText(file));
    return {XmlReadStatus::NotParsed};
  }
  // Parsed where it was read, so that the file is held once.
  requireXmlDocumentFits(bytes, state.records.memoryLimit());
  pugi::xml_document document;
  const pugi::xml_parse_result parsed = document.load_buffer_inplace(bytes.data(), bytes.size());
  return readDocument(
      document, parsed, state, channel, [&] { rIniF(state, channel, state.definitionFileName); }, progress);
}

}  // namespace tervolin
