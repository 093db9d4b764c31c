// The parity file reader on any bytes. Odd first byte: the rest is taken as
// a file as it is. Even: the rest is a text and a block parted by the first
// 0x01 byte, sealed with the right crc line, so that the reader's checks
// beyond the crc are reached. Whatever the reader takes keeps its promises
// (plain names, volumes within the part size, the block exactly one part),
// and the writer spells it back to a file the reader takes again unchanged.
#include "FuzzInput.h"
#include "foundation/checksum/Crc32.h"
#include "index/ParityText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TFuzzInput input(data, size);
    const bool sealed = (input.Byte() & 1) == 0;
    std::string file = input.Rest();
    if (sealed) {
        const size_t cut = file.find('\x01');
        const std::string text = file.substr(0, cut);
        const std::string block = cut == std::string::npos ? std::string() : file.substr(cut + 1);
        const uint32_t crc = Crc32(Crc32(0, text.data(), text.size()), block.data(), block.size());
        char line[16];
        std::snprintf(line, sizeof line, "crc\t%08X\r\n", crc);
        file = text + line + block;
    }
    TParityLayout layout;
    size_t offset = 0;
    if (!ParseParity(file, layout, offset))
        return 0;
    FUZZ_CHECK(layout.PartSize > 0 && layout.PartSize <= ParityLargestPart);
    FUZZ_CHECK(offset <= file.size() && file.size() - offset == static_cast<size_t>(layout.PartSize));
    FUZZ_CHECK(!layout.Volumes.empty());
    for (const TParityVolume& volume : layout.Volumes) {
        FUZZ_CHECK(!volume.Files.empty());
        FUZZ_CHECK(volume.Size() <= layout.PartSize);
        for (const TParityFile& part : volume.Files) {
            FUZZ_CHECK(part.Size >= 0);
            FUZZ_CHECK(!part.Name.empty() && part.Name != "." && part.Name != "..");
            FUZZ_CHECK(part.Name.find_first_of("\\/:\t\r\n") == std::string::npos);
        }
    }
    const std::string again = BuildParityHead(layout, file.data() + offset) + file.substr(offset);
    TParityLayout reread;
    size_t rereadOffset = 0;
    FUZZ_CHECK(ParseParity(again, reread, rereadOffset));
    FUZZ_CHECK(reread.PartSize == layout.PartSize);
    FUZZ_CHECK(reread.Volumes.size() == layout.Volumes.size());
    for (size_t v = 0; v < layout.Volumes.size() && v < reread.Volumes.size(); ++v) {
        FUZZ_CHECK(reread.Volumes[v].Files.size() == layout.Volumes[v].Files.size());
        for (size_t i = 0; i < layout.Volumes[v].Files.size() && i < reread.Volumes[v].Files.size(); ++i) {
            FUZZ_CHECK(reread.Volumes[v].Files[i].Name == layout.Volumes[v].Files[i].Name);
            FUZZ_CHECK(reread.Volumes[v].Files[i].Size == layout.Volumes[v].Files[i].Size);
        }
    }
    FUZZ_CHECK(again.substr(rereadOffset) == file.substr(offset));
    return 0;
}
