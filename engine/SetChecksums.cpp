#include "SetChecksums.h"

#include "foundation/UnitFileStream.h"
#include "foundation/UnitLanguage.h"
#include "foundation/checksum/Crc32.h"
#include "index/PathOps.h"
#include "index/PathQuery.h"
#include "index/SfvText.h"

#include <vector>

namespace {

// A set of 999 parts lists them in some 30 KB; more is not ours, and the
// rest of such a file is not read.
constexpr uint32_t LargestSfv = 1 << 20;

}  // namespace

void TSetChecksums::Load(const std::string& dir, const std::string& stem) {
    ByName.clear();
    Listed.clear();
    // The stem ends with the dot that the part numbers follow.
    const std::string path = AddTrailingBackslash(dir, NativePathStyle) + stem + "sfv";
    if (stem.empty() || PathKind(path) != pkFile)
        return;
    const auto file = TFileStreamLite::OpenForReading(path);
    std::string text;
    std::vector<char> buffer(65536);
    while (text.size() < LargestSfv) {
        const uint32_t got = file->Read(buffer.data(), static_cast<uint32_t>(buffer.size()));
        if (got == 0)
            break;
        text.append(buffer.data(), got);
    }
    for (const TSfvLine& line : ParseSfv(text)) {
        // Names compare as the file system compares them on Windows.
        if (ByName.emplace(UpperText(line.Name), line.Crc).second)
            Listed.push_back(line.Name);
    }
}

bool TSetChecksums::Matches(const std::string& fileName, uint32_t crc) const {
    const auto found = ByName.find(UpperText(fileName));
    return found == ByName.end() || found->second == crc;
}

bool TSetChecksums::Lists(const std::string& fileName) const {
    return ByName.count(UpperText(fileName)) != 0;
}

bool TSetChecksums::ListsEmpty(const std::string& fileName) const {
    const auto listed = ByName.find(UpperText(fileName));
    return listed != ByName.end() && listed->second == Crc32(0, nullptr, 0);
}
