#include "lha_fuzz_body.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    lha_fuzz::ReadAll(data, size);
    return 0;
}
