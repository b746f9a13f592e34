#include "bench/loggen/frames.h"

#include <cmath>
#include <cstdio>

#include "common/hex.h"

namespace tervolin::loggen {

std::uint8_t checksum(std::span<const std::uint8_t> bytes) {
  unsigned sum = 0;
  for (const std::uint8_t b : bytes) sum += b;
  return static_cast<std::uint8_t>(sum & 0xFF);
}

Bytes kwpFrame(std::uint8_t target, std::uint8_t source, std::span<const std::uint8_t> payload, bool lengthByte) {
  Bytes frame;
  frame.reserve(payload.size() + 5);
  // The format byte carries six bits of length; longer payloads need the
  // separate length byte, and a payload longer than 255 bytes cannot be sent.
  const std::size_t size = payload.size() > 255 ? 255 : payload.size();
  const bool separate = lengthByte || size > 63;
  frame.push_back(separate ? 0x80 : static_cast<std::uint8_t>(0x80 + size));
  frame.push_back(target);
  frame.push_back(source);
  if (separate) frame.push_back(static_cast<std::uint8_t>(size));
  frame.insert(frame.end(), payload.begin(), payload.begin() + static_cast<std::ptrdiff_t>(size));
  frame.push_back(checksum(frame));
  return frame;
}

void appendHex(std::string& out, std::span<const std::uint8_t> bytes) { appendHexBytesSpaced(out, bytes); }

Bytes codeBytes(std::string_view code) {
  Bytes out;
  for (std::size_t i = 0; i + 1 < code.size(); i += 2)
    out.push_back(static_cast<std::uint8_t>(parseHex(code.substr(i, 2)).value_or(0)));
  return out;
}

std::string clockText(double seconds) {
  const long long ms = std::llround(seconds * 1000.0) + 12LL * 3600 * 1000;
  const long long day = ms % (24LL * 3600 * 1000);
  char text[24];
  std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld.%03lld", day / 3600000, day / 60000 % 60, day / 1000 % 60,
                day % 1000);
  return text;
}

}  // namespace tervolin::loggen
