// The stored form of entry names. Any bytes read as a stored name either
// decode to a name that stores and reads back as itself, or are refused; no
// character but the backslash ever becomes a separator, so a decoded name
// that the join accepts stays below the output directory. Any bytes taken as
// a name of the program that have a stored form read back as themselves.
#include "FuzzInput.h"
#include "index/EntryNames.h"
#include "index/HeaderNames.h"

#include <algorithm>

namespace {

size_t Separators(const std::string& text) {
    return static_cast<size_t>(std::count(text.begin(), text.end(), '\\') + std::count(text.begin(), text.end(), '/'));
}

void CheckStaysBelow(const std::string& name) {
    FUZZ_CHECK(!name.empty() && name[0] != '\\');
    FUZZ_CHECK(name.find(':') == std::string::npos && name.find('/') == std::string::npos);
    size_t start = 0;
    for (;;) {
        const size_t end = name.find('\\', start);
        const std::string component = name.substr(start, end == std::string::npos ? std::string::npos : end - start);
        FUZZ_CHECK(!component.empty() && component != "." && component != "..");
        if (end == std::string::npos)
            return;
        start = end + 1;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    std::string name;
    if (DecodeHeaderName(bytes, name)) {
        FUZZ_CHECK(Separators(name) == Separators(bytes));
        std::string stored;
        FUZZ_CHECK(EncodeHeaderName(name, stored));
        std::string back;
        FUZZ_CHECK(DecodeHeaderName(stored, back));
        FUZZ_CHECK(back == name);
        if (IsSafeEntryName(name))
            CheckStaysBelow(name);
    }

    std::string stored;
    if (EncodeHeaderName(bytes, stored)) {
        FUZZ_CHECK(Separators(stored) == Separators(bytes));
        std::string back;
        FUZZ_CHECK(DecodeHeaderName(stored, back));
        FUZZ_CHECK(back == bytes);
    }
    return 0;
}
