// The lines of "tervolin-cli decode --batch".

#include <string>

#include "decode/decode_batch.h"
#include "fuzz/fuzz_support.h"

using namespace tervolin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fuzz::Options options = fuzz::splitOptions(data, size);
  std::string output;
  decodeBatch(options.rest, options.decimalMark, output);
  return 0;
}
