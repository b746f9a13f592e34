#pragma once
// The decoding of one response for one definition, as every reader does it:
// the definitions of a read are prepared once; a value decoded before for
// the same inputs is named again instead of being decoded and stored anew;
// a failed decode is reported with the data and the definition and gives an
// empty value.
//
// A reader hands the records to an Output of its choosing, with
//     std::uint64_t record(std::int32_t ordinal, std::uint32_t source, std::string_view value);
//     void repeat(std::int32_t ordinal, std::uint32_t source, std::uint64_t handle);
//     void message(std::string_view kind, std::string_view text);
// record stores the value and adds a record naming it, returning the value's
// handle (whatever names a stored value to the output); repeat adds a record
// naming a value stored before; message tells the user (a message of `kind`,
// UserChannel::similarMessage). Output is a template
// parameter, so that the per-record calls inline.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/param_def.h"
#include "common/record_list.h"
#include "common/user_channel.h"
#include "decode/decode_dan.h"
#include "decode/decode_fast.h"
#include "decode/value_cache.h"

namespace tervolin {

// The definitions (or graph-file channels) of one read, prepared for decoding,
// with their value-key plans. Built once per read, then only read: several
// threads may decode with one table.
class DecodingTable {
 public:
  explicit DecodingTable(DecodeOptions options) : options_(options) {}

  void add(std::string_view requestCode, std::string_view positionField, std::string_view formulaCode);

  std::size_t size() const { return definitions_.size(); }
  const DecodeOptions& options() const { return options_; }
  const PreparedDefinition& definition(std::size_t d) const { return definitions_[d]; }
  const ValueKeyPlan& plan(std::size_t d) const { return plans_[d]; }

 private:
  DecodeOptions options_;
  std::vector<PreparedDefinition> definitions_;
  std::vector<ValueKeyPlan> plans_;
};

// What the readers of responses start with: one record source per
// definition, in table order, added to `records`, and the definitions
// prepared for decoding.
DecodingTable prepareDefinitions(const DefinitionTable& definitions, RecordList& records, DecodeOptions options);

// "Ошибка при распознавании данных: \" + data + "/" + request code + "/" +
// position field + "/" + formula code: the message of a failed decode.
std::string decodeFailureText(std::string_view dataText, const PreparedDefinition& definition);
// The kind of the decode failure messages, one per failing record.
inline constexpr std::string_view kDecodeFailureKind = "decode failure";

// One reader's decoding with a table: keeps the reader's value caches (the
// handles they hold are its output's).
class RecordDecoder {
 public:
  explicit RecordDecoder(const DecodingTable& table) : table_(table) {
    caches_.reserve(table.size());
    for (std::size_t d = 0; d < table.size(); ++d) caches_.emplace_back(table.plan(d).cacheEntries());
  }

  // Decodes `bytes` (the response data `dataText`, split into slots) for
  // definition `d` and gives the result to `out` as record `ordinal` of
  // source `d`.
  template <class Output>
  void decode(std::int32_t ordinal, std::uint32_t d, const ResponseBytes& bytes, std::string_view dataText,
              Output& out) {
    const std::uint64_t key = table_.plan(d).key(bytes);
    std::uint64_t handle = 0;
    if (key != kNoValueKey && caches_[d].find(key, handle)) {
      out.repeat(ordinal, d, handle);
      return;
    }
    bool failed = false;
    try {
      decodeInto(bytes, table_.definition(d), table_.options(), value_);
    } catch (const DecodeError&) {
      out.message(kDecodeFailureKind, decodeFailureText(dataText, table_.definition(d)));
      value_.clear();
      failed = true;
    }
    handle = out.record(ordinal, d, value_);
    if (key != kNoValueKey && !failed) caches_[d].store(key, handle);
  }

 private:
  const DecodingTable& table_;
  std::vector<ValueCache> caches_;  // per definition
  std::string value_;
};

// The Output that goes straight into a record list and to the user; its
// handles are the values' refs in the list's arena.
class RecordListOutput {
 public:
  RecordListOutput(RecordList& records, UserChannel& channel) : records_(records), channel_(channel) {}
  std::uint64_t record(std::int32_t ordinal, std::uint32_t source, std::string_view value) {
    return records_.append(ordinal, source, value);
  }
  void repeat(std::int32_t ordinal, std::uint32_t source, std::uint64_t handle) {
    records_.appendRef(ordinal, source, handle);
  }
  void message(std::string_view kind, std::string_view text) { channel_.similarMessage(kind, text); }

 private:
  RecordList& records_;
  UserChannel& channel_;
};

}  // namespace tervolin
