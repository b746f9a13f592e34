#pragma once
// The log key: the CRC-32 of an opened log file's content, in decimal. It
// names the per-log settings (column layout, graph settings), so two copies
// of one log share them and a renamed log keeps them.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "common/app_state.h"

namespace tervolin {

// The standard CRC-32 (reflected polynomial EDB88320, start and final
// exclusive-or FFFFFFFF) of every byte of the file, read in blocks. No value
// when the file cannot be opened or read.
std::optional<std::uint32_t> GetCRC32(const std::filesystem::path& file);

// The same CRC of bytes already read.
std::uint32_t GetCRC32(std::string_view bytes);

// The key text of a CRC: unsigned decimal without leading zeros.
std::string logKeyText(std::uint32_t crc);

// Brings state.logKey up to date with state.openFileName. The key is
// computed afresh when the file differs (name, size or modification time)
// from the one it was computed from, and kept otherwise; it is empty while
// no file is open. False when the file cannot be read: the key then stays
// as it was.
bool refreshLogKey(AppState& state);
// Sets state.logKey afresh from `crc`, the CRC of the open file's bytes as
// they were read, with the file's name, size and time as it is now. False
// when the file cannot be examined: the key is then empty.
bool setLogKey(AppState& state, std::uint32_t crc);

}  // namespace tervolin
