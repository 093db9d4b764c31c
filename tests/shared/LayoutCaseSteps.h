// The steps that both runners of the layout cases take, over the file
// helpers of their own system (TFiles: Write, Remove, Exists) with paths
// that separate with '/'.
#pragma once

#include "shared/LayoutCases.h"

#include <cstdio>
#include <string>

inline std::string LayoutSource(const TLayoutCase& c) {
    std::string bytes(static_cast<size_t>(c.SourceSize), '\0');
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>('a' + (i * 7 + i / 26) % 26);
    return bytes;
}

inline std::string LayoutPartName(int32_t number) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%03d", static_cast<int>(number));
    return std::string("f.bin.") + digits;
}

// After the split of f.bin into parts/: the data parts dealt out again as
// the case has them, and the sfv file gone, so that only the layout tells.
template <class TFiles>
void DealLayoutParts(const TLayoutCase& c, TFiles& files) {
    for (int32_t n = 1; files.Exists("parts/" + LayoutPartName(n)); ++n)
        files.Remove("parts/" + LayoutPartName(n));
    files.Remove("parts/f.bin.sfv");
    const std::string bytes = LayoutSource(c) + std::string(100, 'Z');
    size_t at = 0;
    for (size_t i = 0; i < c.Sizes.size(); ++i) {
        if (c.Sizes[i] == NotThere)
            continue;
        files.Write("parts/" + LayoutPartName(static_cast<int32_t>(i + 1)),
                    bytes.substr(at, static_cast<size_t>(c.Sizes[i])));
        at += static_cast<size_t>(c.Sizes[i]);
    }
}
