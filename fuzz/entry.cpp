// The libFuzzer entry of one harness: the build names its check (ZT_FUZZ_CHECK).
#include <cstdio>
#include <cstdlib>

#include "harnesses.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (const std::string err = zt::fuzz::ZT_FUZZ_CHECK(data, size); !err.empty()) {
        std::fprintf(stderr, "%s\n", err.c_str());
        std::abort();
    }
    return 0;
}
