// The CRC's fast paths against the plain bitwise reference, on any bytes,
// in one call and cut in two where the input says.
#include "FuzzInput.h"
#include "foundation/checksum/Crc32.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TFuzzInput input(data, size);
    const size_t cut = static_cast<size_t>(input.Number(2));
    const uint32_t seed = static_cast<uint32_t>(input.Number(4));
    const std::string bytes = input.Rest();
    const uint32_t expected = Crc32Bitwise(seed, bytes.data(), bytes.size());
    FUZZ_CHECK(Crc32(seed, bytes.data(), bytes.size()) == expected);
    const size_t at = bytes.empty() ? 0 : cut % (bytes.size() + 1);
    FUZZ_CHECK(Crc32(Crc32(seed, bytes.data(), at), bytes.data() + at, bytes.size() - at) == expected);
    return 0;
}
