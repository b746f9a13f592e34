// The log key: CRC-32 check values, files across block boundaries against a
// bitwise reference, and when the key of the open file is recomputed.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "logs/log_key.h"
#include "support/test_support.h"

namespace tervolin {
namespace {

// Bit by bit, straight from the definition of the reflected CRC-32.
std::uint32_t referenceCrc(const std::string& bytes) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char b : bytes) {
    crc ^= b;
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ ((crc & 1u) ? 0xEDB88320u : 0u);
  }
  return crc ^ 0xFFFFFFFFu;
}

TEST(LogKey, CheckValuesAndKeyText) {
  test::TempDir dir;
  const struct {
    std::string content;
    std::uint32_t crc;
    const char* key;
  } cases[] = {
      {"123456789", 3421780262u, "3421780262"},
      {"", 0u, "0"},
      {"abc", 891568578u, "891568578"},
      {std::string(1, '\0'), 0xD202EF8Du, "3523407757"},
  };
  for (const auto& c : cases) {
    const auto file = dir / "a.log";
    test::writeFile(file, c.content);
    const auto crc = GetCRC32(file);
    ASSERT_TRUE(crc) << c.content;
    EXPECT_EQ(*crc, c.crc) << c.content;
    EXPECT_EQ(logKeyText(*crc), c.key) << c.content;
  }
}

TEST(LogKey, StreamedFilesOfEverySizeAroundTheBlocksEqualTheReference) {
  test::TempDir dir;
  for (std::size_t size : {1u, 254u, 255u, 256u, 257u, 65535u, 65536u, 65537u, 200000u}) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 131 + i / 7) & 0xFF);
    const auto file = dir / "big.log";
    test::writeFile(file, bytes);
    const auto crc = GetCRC32(file);
    ASSERT_TRUE(crc) << size;
    EXPECT_EQ(*crc, referenceCrc(bytes)) << size;
  }
}

TEST(LogKey, UnreadableFileGivesNoValue) {
  test::TempDir dir;
  EXPECT_FALSE(GetCRC32(dir / "missing.log"));
  EXPECT_FALSE(GetCRC32(dir.path()));  // a folder is no log
}

TEST(LogKey, RefreshComputesOnceAndAgainWhenTheFileChanges) {
  test::TempDir dir;
  AppState state;
  EXPECT_TRUE(refreshLogKey(state));
  EXPECT_EQ(state.logKey, "");  // nothing opened yet

  const auto file = dir / "a.log";
  test::writeFile(file, "abc");
  state.openFileName = file;
  ASSERT_TRUE(refreshLogKey(state));
  EXPECT_EQ(state.logKey, "891568578");

  // Unchanged file: the key is not recomputed (a planted key survives).
  state.logKey = "planted";
  ASSERT_TRUE(refreshLogKey(state));
  EXPECT_EQ(state.logKey, "planted");

  // Rewritten with other content: recomputed.
  test::writeFile(file, "123456789");
  ASSERT_TRUE(refreshLogKey(state));
  EXPECT_EQ(state.logKey, "3421780262");

  // A copy under another name shares the key.
  const auto copy = dir / "copy.log";
  std::filesystem::copy_file(file, copy);
  state.openFileName = copy;
  ASSERT_TRUE(refreshLogKey(state));
  EXPECT_EQ(state.logKey, "3421780262");

  // A file that is gone: failure, the last key stays.
  std::filesystem::remove(copy);
  EXPECT_FALSE(refreshLogKey(state));
  EXPECT_EQ(state.logKey, "3421780262");

  // Closing the log empties the key.
  state.openFileName.clear();
  EXPECT_TRUE(refreshLogKey(state));
  EXPECT_EQ(state.logKey, "");
}

}  // namespace
}  // namespace tervolin
