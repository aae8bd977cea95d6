// The libFuzzer entry of one harness: the build names its header and function
// (ZT_FUZZ_HEADER, ZT_FUZZ_ENTRY).
#include <cstddef>
#include <cstdint>

#include ZT_FUZZ_HEADER

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ZT_FUZZ_ENTRY(data, size);
    return 0;
}
