// Layout detection: address pairs, positions, the mirror test, adapter logs.

#include <gtest/gtest.h>

#include <string>

#include "common/text.h"
#include "logs/layout_detection.h"

namespace tervolin {
namespace {

TEST(LayoutDetection, FindsPairsPositionsAndAdapterOffset) {
  const struct {
    const char* what;
    std::string log;
    LogLayout expected;
  } cases[] = {
      {"ordinary log with a prefix", "[a] TxD 82 10 F1 21 01 A5\n[b] RxD 84 F1 10 61 01 7B 2C 5E\n",
       {"10 F1", "F1 10", 12, 12, 6}},
      {"a pair that does not mirror is replaced by a later mirrored one",
       "TxD 82 10 F1 21 01 A5\nRxD 84 F1 11 61 01 7B 2C 5E\nRxD 84 F1 10 61 01 7B 2C 5E\n"
       "TxD 82 10 F1 21 01 A5\nRxD 83 F1 22 61 01 00 5E\n",
       {"10 F1", "F1 10", 8, 8, 6}},
      {"without a mirrored pair the last pairs found stay",
       "TxD 82 10 F1 21 01 A5\nRxD 84 F1 11 61 01 7B 2C 5E\nxx RxD 84 F1 12 61 01 7B 2C 5E\n",
       {"10 F1", "F1 12", 8, 11, 6}},
      {"adapter log: the literal markers, which never mirror",
       "ELM327 v1.5\nTxD 21 01\nRxD 61 01 7B 2C\n", {"TxD", "RxD", 8, 8, -3}},
      {"an ELM line that reports a found adapter does not make an adapter log",
       "ELM " + std::string("найден"_w) + "\nTxD 82 10 F1 21 01 A5\nRxD 84 F1 10 61 01 7B 2C 5E\n",
       {"10 F1", "F1 10", 8, 8, 6}},
      {"the adapter mark can come after the pairs", "TxD 82 10 F1 21 01 A5\nRxD 84 F1 11 61 01\nELM\n",
       {"10 F1", "F1 11", 8, 8, -3}},
      {"lower-case hex is not a pair", "TxD 8a 10 F1 21 01\nRxD 8b F1 10 61 01 7b\n",
       {"F1 21", "10 61", 11, 11, 6}},
      {"a response marker wins over a request marker on one line", "TxD RxD 84 F1 10 61 01 7B 2C\n",
       {"", "F1 10", 0, 12, 6}},
      {"a pair at the very end of the line is not a pair", "RxD 84 \nTxD 84\n", {"", "", 0, 0, 6}},
      {"a line cut inside the pair gives a short pair", "RxD 84 F1", {"", "F1 ", 0, 8, 6}},
      {"Russian words", std::string("Запрос"_w) + " 82 10 F1 21 01\n" + std::string("Ответ"_w) + " 84 F1 10 61 01 7B\n",
       {"10 F1", "F1 10", 11, 10, 6}},
      {"empty log", "", {"", "", 0, 0, 6}},
  };
  for (const auto& c : cases) {
    const LogLayout got = detectLayout(c.log);
    EXPECT_EQ(got.testerPair, c.expected.testerPair) << c.what;
    EXPECT_EQ(got.ecuPair, c.expected.ecuPair) << c.what;
    EXPECT_EQ(got.testerPosition, c.expected.testerPosition) << c.what;
    EXPECT_EQ(got.ecuPosition, c.expected.ecuPosition) << c.what;
    EXPECT_EQ(got.adapterOffset, c.expected.adapterOffset) << c.what;
  }
}

TEST(LayoutDetection, StopsAtTheFirstMirroredPair) {
  // After the mirrored pair, a later adapter mark must not be seen.
  const LogLayout got = detectLayout("TxD 82 10 F1 21 01 A5\nRxD 84 F1 10 61 01 7B 2C 5E\nELM\nTxD 82 11 F2 21\n");
  EXPECT_EQ(got.adapterOffset, 6);
  EXPECT_EQ(got.testerPair, "10 F1");
}

}  // namespace
}  // namespace tervolin
