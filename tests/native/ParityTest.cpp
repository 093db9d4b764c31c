// Sets with a parity file, split and joined by the engine over the POSIX
// layer under the sanitizers: each volume lost or damaged in turn, rebuilt
// from memory; verify and repair.
#include "index/ParityText.h"
#include "support/InProcessJob.h"
#include "support/NativeFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using namespace native_files;

// The source of a set: one file, or a tree whose small files gather in the
// copy buffer before they are written, behind a large one.
struct TSource {
    int64_t PartSize;
    bool Tree;
    size_t Large;
};

void MakeSource(const TScratch& dir, const TSource& source) {
    fs::create_directories(dir / "parts");
    fs::create_directories(dir / "out");
    if (!source.Tree) {
        WriteBytes(dir / "f.bin", Pattern(source.Large, 5));
        return;
    }
    fs::create_directories(dir / "f.bin/sub");
    WriteBytes(dir / "f.bin/a", Pattern(1000, 1));
    WriteBytes(dir / "f.bin/sub/b", Pattern(70000, 2));
    WriteBytes(dir / "f.bin/sub/c", Pattern(source.Large, 3));
    WriteBytes(dir / "f.bin/sub/d", Pattern(4096, 4));
}

std::vector<TParityVolume> SplitWithParity(const TScratch& dir, int64_t partSize) {
    TJobRequest split;
    split.Source = (dir / "f.bin").string();
    split.OutputDir = (dir / "parts").string();
    split.Size = partSize;
    split.Parity = true;
    EXPECT_EQ(rcOk, RunInProcess(split));
    TParityLayout layout;
    size_t offset = 0;
    EXPECT_TRUE(ParseParity(ReadBytes(dir / "parts/f.bin.par"), layout, offset));
    return layout.Volumes;
}

// Every file below root with its bytes, for comparing a tree with its join.
std::map<std::string, std::string> Contents(const fs::path& root) {
    std::map<std::string, std::string> files;
    if (fs::is_regular_file(root))
        files[""] = ReadBytes(root);
    else
        for (const auto& entry : fs::recursive_directory_iterator(root))
            files[fs::relative(entry.path(), root).string()] = entry.is_regular_file() ? ReadBytes(entry.path()) : "/";
    return files;
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
    MakeSource(dir, {1000, false, 10990});
    const std::vector<TParityVolume> volumes = SplitWithParity(dir, 1000);
    ASSERT_EQ(12u, volumes.size());
    EXPECT_EQ("f.bin.011", volumes[10].Files.at(0).Name);
    EXPECT_EQ(990, volumes[10].Files.at(0).Size);
    ASSERT_EQ(2u, volumes[10].Files.size()) << "the last data part shares its volume with h001";
    EXPECT_EQ("f.bin.h001", volumes[10].Files[1].Name);
    EXPECT_EQ(10, volumes[10].Files[1].Size);
    EXPECT_EQ("f.bin.h002", volumes[11].Files.at(0).Name);
    EXPECT_NE(std::string::npos, ReadBytes(dir / "parts/f.bin.sfv").find("f.bin.par "));
}

// Part sizes around the copy buffer (128 KiB), the least copy inside the
// system (256 KiB) and the default: each volume lost, then damaged, in
// turn; the join rebuilds it in memory, the repair writes it back.
TEST(NativeParity, EachVolumeLostOrDamagedIsRebuiltAtEveryPartSize) {
    const TSource rows[] = {
        {1000, false, 10990},
        {CopyBufferSize - 1, false, 3 * CopyBufferSize + 5},
        {CopyBufferSize, true, 2 * CopyBufferSize},
        {CopyBufferSize + 1, false, 2 * CopyBufferSize + 2},
        {SystemCopyLeast - 1, true, 2 * SystemCopyLeast + 100},
        {SystemCopyLeast, false, 3 * SystemCopyLeast},
        {SystemCopyLeast + 1, true, SystemCopyLeast + 4096},
        {DefaultPartSize, false, 3 * DefaultPartSize + DefaultPartSize / 2},
        {DefaultPartSize, true, 2 * DefaultPartSize},
    };
    for (const TSource& row : rows) {
        SCOPED_TRACE("parts of " + std::to_string(row.PartSize) + (row.Tree ? ", a tree" : ", a file"));
        TScratch whole;
        MakeSource(whole, row);
        const std::vector<TParityVolume> volumes = SplitWithParity(whole, row.PartSize);
        ASSERT_GE(volumes.size(), 2u);
        for (int damage = 0; damage < 2; ++damage) {
            for (size_t lost = 0; lost < volumes.size(); ++lost) {
                SCOPED_TRACE((damage ? "damaged volume " : "lost volume ") + std::to_string(lost + 1));
                TScratch dir;
                fs::copy(whole.Path, dir.Path, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
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
                EXPECT_EQ(Contents(dir / "f.bin"), Contents(dir / "out/f.bin"));
                for (const TParityFile& file : volumes[lost].Files)
                    EXPECT_EQ(damage ? 1 : 0, fs::exists(dir / ("parts/" + file.Name))) << "nothing written into the set";
                EXPECT_EQ(rcOk, Verify(dir, true));
                EXPECT_EQ(rcOk, Verify(dir, false));
                fs::remove_all(dir / "out");
                fs::create_directories(dir / "out");
                ASSERT_EQ(rcOk, RunJoinInProcess((dir / "parts/f.bin.001").string(), (dir / "out").string(), true));
                EXPECT_EQ(Contents(dir / "f.bin"), Contents(dir / "out/f.bin")) << "the repaired set joins whole";
            }
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
