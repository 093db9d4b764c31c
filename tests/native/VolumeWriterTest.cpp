// The volume writer against a plain model: sources of many sizes copied into
// volumes of sizes around the copy buffer and the least copy inside the
// system, as a split does. Every part must hold its bytes in order, its sfv
// line their CRC, and the parity block the XOR of the zero-padded volumes.
#include "engine/UnitFendrix.h"
#include "engine/VolumeWriter.h"
#include "support/NativeFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace native_files;

TEST(VolumeWriter, EveryByteLandsWhereItIsCounted) {
    struct TRow {
        int64_t VolumeSize;
        std::vector<size_t> Sources;
    } rows[] = {
        {1, {3, 0, 2}},
        {4096, {4095, 1, 4097, 0, 8192}},
        {CopyBufferSize - 1, {10, CopyBufferSize, 7, 3 * CopyBufferSize}},
        {CopyBufferSize, {CopyBufferSize, 1, 5000, 5000, 2 * CopyBufferSize + 3}},
        {CopyBufferSize + 1, {CopyBufferSize + 1, CopyBufferSize - 1, 2}},
        {SystemCopyLeast, {100, SystemCopyLeast, SystemCopyLeast + 1, 60000, 60000, 60000}},
        {300000, {1000, 700000, 1}},
        // A volume that takes more than one copy inside the system.
        {SystemCopyMost + 4096, {SystemCopyMost + 1, 4095, 3}},
    };
    for (const TRow& row : rows) {
        for (const bool parity : {false, true}) {
            // Parity keeps the copy in the program, which the smaller rows measure.
            if (parity && row.VolumeSize > SystemCopyMost)
                continue;
            SCOPED_TRACE("volumes of " + std::to_string(row.VolumeSize) + (parity ? ", parity" : ""));
            TScratch dir;
            std::string all;
            for (size_t i = 0; i < row.Sources.size(); ++i) {
                const std::string bytes = Pattern(row.Sources[i], static_cast<uint32_t>(i + 1));
                WriteBytes(dir / ("s" + std::to_string(i)), bytes);
                all += bytes;
            }
            TVolumeWriter out(true, parity ? row.VolumeSize : 0);
            int parts = 0;
            auto nextPart = [&] {
                const std::string name = "p" + std::to_string(++parts);
                out.Close();
                out.StartVolume(row.VolumeSize);
                out.Open(TFileStreamLite::CreateForWriting((dir / name).string()), name);
            };
            nextPart();
            for (size_t i = 0; i < row.Sources.size(); ++i) {
                const auto source = TFileStreamLite::OpenForReading((dir / ("s" + std::to_string(i))).string());
                for (int64_t left = static_cast<int64_t>(row.Sources[i]); left > 0;) {
                    if (out.Room() == 0)
                        nextPart();
                    const int64_t n = out.CopyFrom(*source, left);
                    ASSERT_GT(n, 0);
                    left -= n;
                }
            }
            out.Close();
            out.FinishParity();

            std::string block(static_cast<size_t>(row.VolumeSize), '\0');
            ASSERT_EQ(static_cast<size_t>(parts), out.Checksums().size());
            for (int p = 0; p < parts; ++p) {
                const std::string want = all.substr(static_cast<size_t>(p * row.VolumeSize),
                                                    static_cast<size_t>(row.VolumeSize));
                const std::string got = ReadBytes(dir / ("p" + std::to_string(p + 1)));
                EXPECT_TRUE(want == got) << "part " << p + 1;
                EXPECT_EQ(Crc32(0, want.data(), want.size()), out.Checksums()[static_cast<size_t>(p)].Crc);
                for (size_t k = 0; k < want.size(); ++k)
                    block[k] = static_cast<char>(block[k] ^ want[k]);
            }
            if (parity) {
                ASSERT_EQ(static_cast<size_t>(parts), out.Layout().Volumes.size());
                EXPECT_TRUE(std::string(out.ParityBlock(), out.ParityBlockSize()) == block) << "the parity block";
            }
        }
    }
}
