// libFuzzer entry for the ZIP reader: directory, listing, name checks and decoding in memory.
#include "zip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ZipFuzzOne(data, size);
  return 0;
}
