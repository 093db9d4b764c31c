// The join's check of entry names against an independent oracle: every
// accepted name is relative, has no "." or ".." component, no colon, no
// device name, and stays below the directory it is joined to even after the
// system's own clean-up of trailing dots and spaces.
#include "FuzzInput.h"
#include "index/EntryNames.h"

#include <vector>

namespace {

std::vector<std::string> Components(const std::string& name) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t end = name.find('\\', start);
        parts.push_back(name.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            return parts;
        start = end + 1;
    }
}

std::string Upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    }
    return text;
}

bool IsDevice(const std::string& component) {
    std::string stem = Upper(component.substr(0, component.find('.')));
    while (!stem.empty() && stem.back() == ' ')
        stem.pop_back();
    if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL" || stem == "CONIN$" || stem == "CONOUT$" ||
        stem == "CLOCK$")
        return true;
    for (const char* family : {"COM", "LPT"}) {
        for (const char* digit : {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "\xB9", "\xB2", "\xB3"}) {
            if (stem == std::string(family) + digit)
                return true;
        }
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string name(reinterpret_cast<const char*>(data), size);
    if (!IsSafeEntryName(name))
        return 0;
    FUZZ_CHECK(!name.empty());
    FUZZ_CHECK(name[0] != '\\' && name[0] != '/');
    FUZZ_CHECK(name.find(':') == std::string::npos);
    FUZZ_CHECK(name.find('/') == std::string::npos);
    FUZZ_CHECK(name.find('\0') == std::string::npos);
    int depth = 0;
    for (const std::string& component : Components(name)) {
        FUZZ_CHECK(component != "." && component != "..");
        FUZZ_CHECK(!IsDevice(component));
        // The system drops trailing dots and spaces: what is left must still
        // be a real name one level down.
        std::string cleaned = component;
        while (!cleaned.empty() && (cleaned.back() == '.' || cleaned.back() == ' '))
            cleaned.pop_back();
        FUZZ_CHECK(cleaned == component && !cleaned.empty());
        for (char c : component)
            FUZZ_CHECK(static_cast<unsigned char>(c) >= 32 && std::string("*?\"<>|").find(c) == std::string::npos);
        ++depth;
    }
    FUZZ_CHECK(depth >= 1);
    return 0;
}
