// A source that loses bytes while the copy that must see them has it
// mapped: the pages go from under the mapping, and touching one raises
// SIGBUS. The copy must fail with an error about the source, never end the
// process, and leave the part holding no byte that was not seen.
#include "engine/UnitFendrix.h"
#include "foundation/UnitFileStream.h"
#include "foundation/checksum/Crc32.h"
#include "support/NativeFiles.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace native_files;

TEST(ShrinkingSource, TheCopyFailsAndNamesTheSource) {
    struct TRow {
        const char* Label;
        size_t Size;
        int TruncateAtStep;  // of the bytes shown, counting from 1
        off_t KeptBytes;
    } rows[] = {
        {"cut to nothing at the first step", 3 << 20, 1, 0},
        {"cut inside the second step", 3 << 20, 2, 300000},
        {"cut one page short of the end", 1 << 20, 1, (1 << 20) - 4096},
        {"a diskette's part cut in the middle", 1453568, 1, 700001},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        TScratch dir;
        const std::string sourcePath = (dir / "source").string();
        WriteBytes(sourcePath, Pattern(row.Size, 7));
        auto source = TFileStreamLite::OpenForReading(sourcePath);
        auto part = TFileStreamLite::CreateForWriting((dir / "part").string());
        int steps = 0;
        uint64_t seen = 0;
        // As the sfv's CRC does, every byte shown is read.
        uint32_t crc = 0;
        const TBytesSeen see = [&](const char* data, uint32_t count) {
            if (++steps == row.TruncateAtStep)
                ASSERT_EQ(0, truncate(sourcePath.c_str(), row.KeptBytes));
            crc = Crc32(crc, data, count);
            seen += count;
        };
        std::vector<char> buffer(CopyBufferSize);
        uint64_t done = 0;
        std::string failure;
        try {
            source->CopyInSystem(*part, row.Size, buffer.data(), CopyBufferSize, see, done);
        } catch (const EExceptionLite& e) {
            failure = e.Path;
        }
        EXPECT_EQ(sourcePath, failure);
        EXPECT_LE(done, static_cast<uint64_t>(row.Size));
        EXPECT_LT(seen, static_cast<uint64_t>(row.Size));
    }
}
