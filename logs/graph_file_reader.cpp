#include "logs/graph_file_reader.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <string>
#include <vector>

#include "common/atomic_file.h"
#include "common/hex.h"
#include "common/paths.h"
#include "common/text.h"
#include "decode/decode_fast.h"
#include "decode/record_decoding.h"
#include "logs/error_dump.h"
#include "logs/line_text.h"
#include "logs/read_stop.h"
#include "profiles/definition_file.h"

namespace tervolin {
namespace {

using logtext::copyAt;

constexpr std::size_t kChannels = 8;
constexpr std::size_t kHeaderSize = 48;
constexpr std::size_t kIntervalOffset = 6;
constexpr std::size_t kDescriptorOffset = 8;
constexpr std::size_t kDescriptorSize = 5;
constexpr std::string_view kNotGraphFile = "Некорректный файл"_w;
constexpr std::string_view kPidsIniInstead = ". Таблица построена по параметрам профиля из pids.ini."_w;

struct Channel {
  std::string requestCode;
  std::string positionField;
  std::string name, unit, formulaCode;
};

unsigned byteAt(std::string_view bytes, std::size_t i) { return static_cast<unsigned char>(bytes[i]); }

std::string hexOf(std::string_view bytes) {
  std::string text;
  for (const char b : bytes) text += hexByte(static_cast<std::uint8_t>(b));
  return text;
}

// Hex digits of a value as the frame's service is written: at least two,
// upper case; a first byte below 0x40 gives the 32-bit two's complement
// ("FFFFFFF0"), which matches no channel.
std::string serviceText(unsigned firstByte) {
  return intToHex(static_cast<std::int32_t>(firstByte) - 0x40, 2);
}

class GraphReader {
 public:
  GraphReader(AppState& state, UserChannel& channel)
      : state_(state), channel_(channel), output_(state.records, channel), width6_(state.requestCodeWidth == 6),
        table_({state.byteOrderInversion, state.decimalMark}) {}

  // Header: interval and channel descriptors; names, units and formula codes
  // from the first definition with the same request code and position field.
  void header(std::string_view bytes) {
    if (bytes.size() < kHeaderSize) return;
    state_.requestInterval = byteAt(bytes, kIntervalOffset) | (byteAt(bytes, kIntervalOffset + 1) << 8);
    for (std::size_t c = 0; c < kChannels; ++c) {
      const std::string_view descriptor = bytes.substr(kDescriptorOffset + c * kDescriptorSize, kDescriptorSize);
      Channel& ch = channels_[c];
      ch.requestCode = hexOf(descriptor.substr(0, 3));
      if (!width6_) ch.requestCode.resize(4);
      ch.positionField = hexOf(descriptor.substr(3, 2));
      for (const ParamDef& d : state_.definitions) {
        if (d.requestCode == ch.requestCode && d.positionField == ch.positionField) {
          ch.name = d.name;
          ch.unit = d.unit;
          ch.formulaCode = d.formulaCode;
          break;
        }
      }
      if (ch.requestCode.find_first_not_of('0') == std::string::npos) ++emptyChannels_;
    }
  }

  void addSources() {
    for (const Channel& ch : channels_) {
      state_.records.addSource({ch.requestCode, ch.positionField, ch.unit, ch.name});
      table_.add(ch.requestCode, ch.positionField, ch.formulaCode);
    }
  }

  // Frames after the header; where the read ended on a read error (a frame
  // of length 0, or a frame or its length running past the end of the file).
  std::optional<ReadStop> frames(std::string_view bytes, Progress& progress) {
    std::size_t at = kHeaderSize;
    std::string frameText, code;
    ResponseBytes data;
    RecordDecoder decoder(table_);
    for (std::uint64_t count = 0; at < bytes.size(); ++count) {
      if (count % 4096 == 0) {
        throwIfCancelled(progress);
        progress.report(at, bytes.size());
      }
      ReadStop stop;
      stop.offset = at;
      if (bytes.size() - at < 2) {
        stop.cause = ReadStopCause::FramePastEnd;
        return stop;
      }
      const std::size_t n = byteAt(bytes, at) | (byteAt(bytes, at + 1) << 8);
      at += 2;
      if (n == 0 || n > bytes.size() - at) {
        stop.cause = n == 0 ? ReadStopCause::FrameLengthZero : ReadStopCause::FramePastEnd;
        return stop;
      }
      const std::string_view frame = bytes.substr(at, n);
      at += n;

      const std::string service = serviceText(byteAt(frame, 0));
      if (service == "10") continue;  // the diagnostic-session confirmation
      frameText.clear();
      for (std::size_t i = 0; i < n; ++i) {
        if (i) frameText += ' ';
        frameText += hexByte(static_cast<std::uint8_t>(frame[i]));
      }
      code = service;
      appendWithoutBlanks(code, copyAt(frameText, 4, width6_ ? 5 : 2));

      const long long keep = 3 * static_cast<long long>(n) - (width6_ ? 10 : 7);
      const auto size = static_cast<long long>(frameText.size());
      const std::string_view dataText = copyAt(frameText, size - keep + 1, keep);
      bool assigned = false;
      for (std::size_t c = 0; c < kChannels; ++c) {
        if (channels_[c].requestCode != code) continue;
        const auto ordinal = static_cast<std::int32_t>(state_.requestCounter);
        const auto source = static_cast<std::uint32_t>(c);
        ++state_.requestCounter;
        // A frame without data bytes gives an empty value.
        if (dataText.empty()) {
          output_.record(ordinal, source, {});
          continue;
        }
        if (!assigned) data.assign(dataText);
        assigned = true;
        decoder.decode(ordinal, source, data, dataText, output_);
      }
    }
    return std::nullopt;
  }

  // _tmp.ini: the first 8 - (empty channels) records as definitions; missing
  // records give empty entries.
  void writeChannelFile() {
    const std::size_t k = kChannels - emptyChannels_;
    std::vector<ParamDef> entries(k);
    for (std::size_t i = 0; i < k && i < state_.records.size(); ++i) {
      const RecordSource& s = state_.records.source(i);
      entries[i].requestCode = s.requestCode;
      entries[i].name = s.name;
      entries[i].unit = s.unit;
      entries[i].positionField = s.positionField;
    }
    const std::filesystem::path target = resolveIgnoringCase(state_.workingFolder, kTmpIni);
    AtomicFile file(target);
    if (file.write(definitionFileText(entries)) && file.commit()) {
      state_.definitionFileName = std::string(kTmpIni);
      return;
    }
    // A _tmp.ini left from an earlier graph file must not stand in for it:
    // the table is laid out by the profile's pids.ini.
    state_.definitionFileName = std::string(kPidsIni);
    channel_.message(writeFailureText(target, systemErrorText(file.error() != 0 ? file.error() : EIO)) +
                     std::string(kPidsIniInstead));
  }

 private:
  AppState& state_;
  UserChannel& channel_;
  RecordListOutput output_;
  bool width6_;
  std::array<Channel, kChannels> channels_;
  DecodingTable table_;
  std::size_t emptyChannels_ = 0;
};

}  // namespace

std::optional<ReadStop> readGraphFile(AppState& state, UserChannel& channel, const std::filesystem::path& graphFile,
                                      Progress& progress) {
  rIniF(state, channel, kPidsIni);
  GraphReader reader(state, channel);
  std::string bytes;
  const bool readable = readWholeFile(graphFile, bytes);
  if (readable) reader.header(bytes);
  state.records.clear();
  state.requestCounter = 0;
  reader.addSources();
  std::optional<ReadStop> stop;
  if (!readable) {
    stop.emplace();
  } else if (bytes.size() <= kHeaderSize) {
    channel.message(kNotGraphFile);
  } else {
    stop = reader.frames(bytes, progress);
  }
  if (stop) {
    stop->file = graphFile;
    stop->dump = writeErrorDump(state, &stop->dumpFailure);
  }
  reader.writeChannelFile();
  return stop;
}

}  // namespace tervolin
