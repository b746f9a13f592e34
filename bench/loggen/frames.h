#pragma once
// Request and response frames as the tester writes them into its logs: hex
// pairs in upper case joined by single blanks, checksum = sum of the bytes
// modulo 256.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tervolin::loggen {

using Bytes = std::vector<std::uint8_t>;

// Tester and ECU addresses of every generated log.
inline constexpr std::uint8_t kEcuAddress = 0x10;
inline constexpr std::uint8_t kTesterAddress = 0xF1;

// Sum of the bytes modulo 256.
std::uint8_t checksum(std::span<const std::uint8_t> bytes);

// A KWP frame from `target` to `source` carrying `payload` (service, identifier,
// data). With `lengthByte` the format byte is 0x80 and a length byte follows
// the addresses; otherwise the format byte is 0x80 plus the payload length
// (payloads longer than 63 bytes always take the length byte).
Bytes kwpFrame(std::uint8_t target, std::uint8_t source, std::span<const std::uint8_t> payload, bool lengthByte);

// Appends the bytes as hex pairs joined by single blanks.
void appendHex(std::string& out, std::span<const std::uint8_t> bytes);

// The bytes of a request code without blanks ("2101" -> 21 01).
Bytes codeBytes(std::string_view code);

// "12:00:01.250": the clock `seconds` after noon, within the day.
std::string clockText(double seconds);

}  // namespace tervolin::loggen
