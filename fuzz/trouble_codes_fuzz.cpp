// The trouble-code description file DTC.xml: parsed, then asked for codes
// of every group the profiles read.

#include "fuzz/fuzz_support.h"
#include "table/trouble_codes.h"

using namespace tervolin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fuzz::Options options = fuzz::splitOptions(data, size);
  const TroubleCodeFile file = TroubleCodeFile::parse(options.rest);
  for (const std::string_view profile : {"B797", "B1797V", "OBDII"})
    for (const std::string_view code : {"P0301", "P0000", "", "p0301"})
      (void)file.describe(troubleCodeGroup(profile), code);
  return 0;
}
