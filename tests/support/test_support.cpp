#include "support/test_support.h"

#include <fstream>
#include <random>
#include <stdexcept>

namespace tervolin::test {
namespace fs = std::filesystem;

std::vector<std::string> ScriptedChannel::texts(Event::Kind kind) const {
  std::vector<std::string> out;
  for (const Event& e : events)
    if (e.kind == kind) out.push_back(e.text);
  return out;
}

TempDir::TempDir() {
  std::random_device rd;
  for (int attempt = 0; attempt < 100; ++attempt) {
    path_ = fs::temp_directory_path() / ("tervolin-test-" + std::to_string(rd()));
    if (fs::create_directory(path_)) return;
  }
  throw std::runtime_error("cannot make a temporary folder");
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

void writeFile(const fs::path& file, std::string_view bytes) {
  fs::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string readFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string graphFileBytes(std::uint16_t interval, const std::vector<GraphChannel>& channels,
                           const std::vector<std::vector<std::uint8_t>>& frames) {
  std::string bytes(48, '\0');
  bytes[6] = static_cast<char>(interval & 0xFF);
  bytes[7] = static_cast<char>(interval >> 8);
  for (std::size_t c = 0; c < channels.size() && c < 8; ++c) {
    for (std::size_t i = 0; i < 3; ++i) bytes[8 + c * 5 + i] = static_cast<char>(channels[c].code[i]);
    for (std::size_t i = 0; i < 2; ++i) bytes[8 + c * 5 + 3 + i] = static_cast<char>(channels[c].position[i]);
  }
  for (const auto& f : frames) {
    bytes += static_cast<char>(f.size() & 0xFF);
    bytes += static_cast<char>(f.size() >> 8);
    for (const auto b : f) bytes += static_cast<char>(b);
  }
  return bytes;
}

}  // namespace tervolin::test
