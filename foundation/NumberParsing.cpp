#include "NumberParsing.h"

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

int64_t ParseInt64(const std::string& text, int& errorPos) {
    if (text.empty()) {
        errorPos = 1;
        return 0;
    }
    const size_t length = text.size();
    size_t i = 0;
    while (i < length && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < length && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }

    // Unsigned arithmetic: the limits below keep every step inside 64 bits,
    // and the two's-complement reading is done once at the end.
    uint64_t value = 0;
    bool anyDigit = false;
    bool hex = false;
    if (i < length && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < length && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }

    if (hex) {
        while (i < length) {
            const int d = HexDigit(text[i]);
            if (d < 0 || value > 0x0FFFFFFFFFFFFFFFull)
                break;
            value = value * 16 + static_cast<uint64_t>(d);
            anyDigit = true;
            ++i;
        }
        if (negative)
            value = 0 - value;
    } else {
        while (i < length) {
            const char c = text[i];
            if (c < '0' || c > '9' || value > 922337203685477580ull)
                break;
            value = value * 10 + static_cast<uint64_t>(c - '0');
            anyDigit = true;
            ++i;
        }
        if (negative)
            value = 0 - value;
        const int64_t signedValue = static_cast<int64_t>(value);
        if (signedValue != 0 && (signedValue < 0) != negative) {
            errorPos = static_cast<int>(i) + 1;
            return signedValue;
        }
    }

    if (!anyDigit || i != length) {
        errorPos = static_cast<int>(i) + 1;
        return static_cast<int64_t>(value);
    }
    errorPos = 0;
    return static_cast<int64_t>(value);
}
