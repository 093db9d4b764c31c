// Sets with a parity file, split and joined by the engine over the POSIX
// layer under the sanitizers: each volume lost or damaged in turn, rebuilt
// from memory; verify and repair.
#include "index/ParityText.h"
#include "support/InProcessJob.h"
#include "native/NativeFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using namespace native_files;

// 10990 bytes in parts of 1000: ten full parts, part 011 of 990 bytes with
// the first 10 bytes of the header, the rest of the header in h002.
std::vector<TParityVolume> SplitWithParity(const TScratch& dir) {
    fs::create_directories(dir / "parts");
    fs::create_directories(dir / "out");
    WriteBytes(dir / "f.bin", Pattern(10990, 5));
    TJobRequest split;
    split.Source = (dir / "f.bin").string();
    split.OutputDir = (dir / "parts").string();
    split.Size = 1000;
    split.Parity = true;
    EXPECT_EQ(rcOk, RunInProcess(split));
    TParityLayout layout;
    size_t offset = 0;
    EXPECT_TRUE(ParseParity(ReadBytes(dir / "parts/f.bin.par"), layout, offset));
    return layout.Volumes;
}

uint8_t Verify(const TScratch& dir, bool repair) {
    TJobRequest request;
    request.Source = (dir / "parts/f.bin.sfv").string();
    request.Verify = true;
    request.Repair = repair;
    return RunInProcess(request);
}

}  // namespace

TEST(NativeParity, TheSplitDescribesTwelveVolumes) {
    TScratch dir;
    const std::vector<TParityVolume> volumes = SplitWithParity(dir);
    ASSERT_EQ(12u, volumes.size());
    EXPECT_EQ("f.bin.011", volumes[10].Files.at(0).Name);
    EXPECT_EQ(990, volumes[10].Files.at(0).Size);
    ASSERT_EQ(2u, volumes[10].Files.size()) << "the last data part shares its volume with h001";
    EXPECT_EQ("f.bin.h001", volumes[10].Files[1].Name);
    EXPECT_EQ(10, volumes[10].Files[1].Size);
    EXPECT_EQ("f.bin.h002", volumes[11].Files.at(0).Name);
    EXPECT_NE(std::string::npos, ReadBytes(dir / "parts/f.bin.sfv").find("f.bin.par "));
}

TEST(NativeParity, EachVolumeLostOrDamagedIsRebuilt) {
    for (int damage = 0; damage < 2; ++damage) {
        for (size_t lost = 0; lost < 12; ++lost) {
            SCOPED_TRACE((damage ? "damaged volume " : "lost volume ") + std::to_string(lost + 1));
            TScratch dir;
            const std::vector<TParityVolume> volumes = SplitWithParity(dir);
            ASSERT_EQ(12u, volumes.size());
            for (const TParityFile& file : volumes[lost].Files) {
                const fs::path path = dir / ("parts/" + file.Name);
                if (damage) {
                    std::string bytes = ReadBytes(path);
                    bytes[bytes.size() / 2] ^= 0x21;
                    WriteBytes(path, bytes);
                } else {
                    fs::remove(path);
                }
            }
            EXPECT_EQ(rcRepairable, Verify(dir, false));
            ASSERT_EQ(rcOk, RunJoinInProcess((dir / "parts/f.bin.par").string(), (dir / "out").string(), true));
            EXPECT_EQ(ReadBytes(dir / "f.bin"), ReadBytes(dir / "out/f.bin"));
            for (const TParityFile& file : volumes[lost].Files)
                EXPECT_EQ(damage ? 1 : 0, fs::exists(dir / ("parts/" + file.Name))) << "nothing written into the set";
            EXPECT_EQ(rcOk, Verify(dir, true));
            EXPECT_EQ(rcOk, Verify(dir, false));
        }
    }
}

// Sets of one and two volumes, whose first volume does not fill the part:
// the parity block holds it padded with zeros, and either file is rebuilt.
TEST(NativeParity, SmallSetsAreRebuiltToo) {
    struct TRow {
        const char* Label;
        size_t Size;
        int64_t PartSize;
        const char* Lost;
        size_t Volumes;
    } rows[] = {
        {"one volume, the data part lost", 10, 1000, "f.bin.001", 1},
        {"one volume, the header file lost", 10, 1000, "f.bin.h001", 1},
        {"an empty file", 0, 1000, "f.bin.h001", 1},
        {"the header over two volumes, h002 lost", 990, 1000, "f.bin.h002", 2},
        {"the header over two volumes, the data part lost", 990, 1000, "f.bin.001", 2},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        TScratch dir;
        fs::create_directories(dir / "parts");
        fs::create_directories(dir / "out");
        WriteBytes(dir / "f.bin", Pattern(row.Size, 3));
        TJobRequest split;
        split.Source = (dir / "f.bin").string();
        split.OutputDir = (dir / "parts").string();
        split.Size = row.PartSize;
        split.Parity = true;
        ASSERT_EQ(rcOk, RunInProcess(split));
        TParityLayout layout;
        size_t offset = 0;
        const std::string par = ReadBytes(dir / "parts/f.bin.par");
        ASSERT_TRUE(ParseParity(par, layout, offset));
        EXPECT_EQ(row.Volumes, layout.Volumes.size());
        if (row.Volumes == 1) {
            const int64_t used = layout.Volumes[0].Size();
            EXPECT_EQ(std::string(static_cast<size_t>(row.PartSize - used), '\0'), par.substr(offset + used))
                << "the padding is zeros";
        }
        fs::remove(dir / ("parts/" + std::string(row.Lost)));
        ASSERT_EQ(rcOk, RunJoinInProcess((dir / "parts/f.bin.sfv").string(), (dir / "out").string(), true));
        EXPECT_EQ(ReadBytes(dir / "f.bin"), ReadBytes(dir / "out/f.bin"));
    }
}
