// XML scan logs through the open road into the Table view.

#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tervolin::fuzz::openInput(data, size, "fuzz.xml");
  return 0;
}
