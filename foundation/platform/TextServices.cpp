#include "TextServices.h"

uint64_t FileTimeValue(const TFileTime& t) {
    return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

TFileTime MakeFileTime(uint64_t value) {
    TFileTime t;
    t.dwLowDateTime = static_cast<uint32_t>(value);
    t.dwHighDateTime = static_cast<uint32_t>(value >> 32);
    return t;
}
