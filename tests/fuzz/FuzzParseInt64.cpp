// ParseInt64 against an independent reading of the same syntax in 128-bit
// arithmetic.
#include "FuzzInput.h"
#include "foundation/NumberParsing.h"
#include "foundation/UnitLanguage.h"

namespace {

bool Reference(const std::string& text, int64_t& value) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    bool hex = false;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i == text.size())
        return false;
    unsigned __int128 magnitude = 0;
    int significant = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return false;
        if (magnitude != 0 || d != 0)
            ++significant;
        if (significant > 20)
            return false;
        magnitude = magnitude * (hex ? 16 : 10) + static_cast<unsigned>(d);
    }
    if (hex) {
        // Sixteen hexadecimal digits are read as a two's-complement number.
        if (significant > 16)
            return false;
        const uint64_t bits = static_cast<uint64_t>(magnitude);
        value = static_cast<int64_t>(negative ? 0 - bits : bits);
        return true;
    }
    const unsigned __int128 limit = negative ? (static_cast<unsigned __int128>(1) << 63)
                                             : (static_cast<unsigned __int128>(1) << 63) - 1;
    if (magnitude > limit)
        return false;
    value = negative ? static_cast<int64_t>(0 - static_cast<uint64_t>(magnitude)) : static_cast<int64_t>(magnitude);
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    int errorPos = -1;
    const int64_t value = ParseInt64(text, errorPos);
    FUZZ_CHECK(errorPos >= 0 && static_cast<size_t>(errorPos) <= text.size() + 1);
    int64_t expected = 0;
    const bool ok = Reference(text, expected);
    FUZZ_CHECK(ok == (errorPos == 0));
    if (ok) {
        FUZZ_CHECK(value == expected);
        int again = -1;
        FUZZ_CHECK(ParseInt64(FormatZeroPadded(0, value), again) == value && again == 0);
    }
    return 0;
}
