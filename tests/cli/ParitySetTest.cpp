// Sets split with /PARITY, run as real processes: any one volume lost or
// damaged is rebuilt by the silent join and by /VERIFY /REPAIR, two lost
// volumes or a damaged parity file end the join as before, and a split
// without the switch writes exactly what it always did.
#include "cli/JoinRuns.h"
#include "index/ParityText.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

std::vector<TParityVolume> VolumesOf(const std::string& parFile) {
    TParityLayout layout;
    size_t offset = 0;
    EXPECT_TRUE(ParseParity(ReadFileBytes(parFile), layout, offset)) << parFile;
    return layout.Volumes;
}

// 10990 bytes in parts of 1000: parts 001-010 are full, part 011 holds 990
// bytes and the first 10 of the header, h002 the rest of the header. Twelve
// volumes; the eleventh is a data part with its header file.
std::vector<TParityVolume> MakeSet(const TScratchDir& dir) {
    WritePatternFile(dir / "f.bin", 10990, 11);
    SetLastWriteTimeOf(dir / "f.bin", 131000000001230000ull);
    MakeDirectory(dir / "parts");
    MakeDirectory(dir / "out");
    EXPECT_EQ(0, RunFendrix("/SILENT " + Quoted(dir / "f.bin") + " " + Quoted(dir / "parts") + " /SIZE1000 /PARITY"));
    const std::vector<TParityVolume> volumes = VolumesOf(dir / "parts\\f.bin.par");
    EXPECT_EQ(12u, volumes.size());
    EXPECT_TRUE(FileExists(dir / "parts\\f.bin.h002"));
    return volumes;
}

std::string VolumeLabel(const TParityVolume& volume) {
    std::string label;
    for (const TParityFile& file : volume.Files)
        label += (label.empty() ? "" : "+") + file.Name;
    return label;
}

void ExpectSourceBack(const TScratchDir& dir) {
    ASSERT_TRUE(FileExists(dir / "out\\f.bin"));
    EXPECT_TRUE(ReadFileBytes(dir / "f.bin") == ReadFileBytes(dir / "out\\f.bin")) << "contents differ";
    EXPECT_EQ(WholeMilliseconds(LastWriteTimeOf(dir / "f.bin")), LastWriteTimeOf(dir / "out\\f.bin"));
}

std::string Verify(const TScratchDir& dir, const std::string& extra = "") {
    return "/SILENT " + Quoted(dir / "parts\\f.bin.sfv") + " /VERIFY" + extra;
}

}  // namespace

TEST(ParitySet, EachLostVolumeIsRebuiltByTheJoin) {
    for (size_t lost = 0; lost < 12; ++lost) {
        TScratchDir dir("paritylost");
        const std::vector<TParityVolume> volumes = MakeSet(dir);
        ASSERT_EQ(12u, volumes.size());
        SCOPED_TRACE("volume " + std::to_string(lost + 1) + ": " + VolumeLabel(volumes[lost]));
        for (const TParityFile& file : volumes[lost].Files)
            ASSERT_TRUE(DeleteFileA((dir / ("parts\\" + file.Name)).c_str()));
        EXPECT_EQ(0, JoinSilently(dir / "parts\\f.bin.par", dir / "out"));
        ExpectSourceBack(dir);
        for (const TParityFile& file : volumes[lost].Files)
            EXPECT_FALSE(FileExists(dir / ("parts\\" + file.Name))) << "a rebuilt part stays in memory";
    }
}

TEST(ParitySet, EachDamagedVolumeIsRebuiltByTheJoin) {
    struct TRow {
        const char* File;
        size_t At;
    } rows[] = {
        {"f.bin.001", 0},    {"f.bin.002", 999}, {"f.bin.003", 500}, {"f.bin.004", 1},   {"f.bin.005", 77},
        {"f.bin.006", 600},  {"f.bin.007", 3},   {"f.bin.008", 998}, {"f.bin.009", 250}, {"f.bin.010", 999},
        {"f.bin.011", 989},  // the last data part: its volume shares the header file
        {"f.bin.h001", 2},   // the header file of the same volume
        {"f.bin.h002", 5},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.File);
        TScratchDir dir("paritydamage");
        MakeSet(dir);
        FlipByte(dir / ("parts\\" + std::string(row.File)), row.At);
        const std::string damaged = ReadFileBytes(dir / ("parts\\" + std::string(row.File)));
        EXPECT_EQ(0, JoinSilently(dir / "parts\\f.bin.sfv", dir / "out"));
        ExpectSourceBack(dir);
        EXPECT_TRUE(damaged == ReadFileBytes(dir / ("parts\\" + std::string(row.File)))) << "the set is left as it was";
    }
}

// The sizes people choose, around the copy buffer (128 KiB), the least copy
// inside the system (256 KiB) and the default: every volume lost, then
// damaged, is rebuilt by the join and written back by the repair.
TEST(ParitySet, EveryVolumeIsRebuiltAtTheSizesPeopleUse) {
    const int64_t sizes[] = {131071, 131072, 131073, 262144, 1453568};
    for (const int64_t size : sizes) {
        const size_t bytes = static_cast<size_t>(2 * size + size / 2);
        for (int damage = 0; damage < 2; ++damage) {
            // Two full data parts, the last one with h001: three volumes.
            for (size_t lost = 0; lost < 3; ++lost) {
                SCOPED_TRACE("parts of " + std::to_string(size) + (damage ? ", damaged" : ", lost") + " volume " +
                             std::to_string(lost + 1));
                TScratchDir dir("paritysizes");
                WritePatternFile(dir / "f.bin", bytes, 17);
                MakeDirectory(dir / "parts");
                MakeDirectory(dir / "out");
                ASSERT_EQ(0, RunFendrix("/SILENT " + Quoted(dir / "f.bin") + " " + Quoted(dir / "parts") + " /SIZE" +
                                        std::to_string(size) + " /PARITY"));
                const std::vector<TParityVolume> volumes = VolumesOf(dir / "parts\\f.bin.par");
                ASSERT_EQ(3u, volumes.size());
                for (const TParityFile& file : volumes[lost].Files) {
                    const std::string path = dir / ("parts\\" + file.Name);
                    if (damage)
                        FlipByte(path, static_cast<size_t>(file.Size / 2));
                    else
                        ASSERT_TRUE(DeleteFileA(path.c_str()));
                }
                EXPECT_EQ(0, JoinSilently(dir / "parts\\f.bin.sfv", dir / "out"));
                EXPECT_TRUE(ReadFileBytes(dir / "f.bin") == ReadFileBytes(dir / "out\\f.bin")) << "contents differ";
                EXPECT_EQ(0, RunFendrix(Verify(dir, " /REPAIR")));
                EXPECT_EQ(0, RunFendrix(Verify(dir)));
            }
        }
    }
}

TEST(ParitySet, BeyondRepairTheJoinEndsAsBefore) {
    struct TRow {
        const char* Label;
        std::function<void(const TScratchDir&)> Damage;
        int Join;
        int Verify;
    } rows[] = {
        {"two volumes lost",
         [](const TScratchDir& d) {
             DeleteFileA((d / "parts\\f.bin.003").c_str());
             DeleteFileA((d / "parts\\f.bin.h002").c_str());
         },
         1, 1},
        {"two volumes damaged",
         [](const TScratchDir& d) {
             FlipByte(d / "parts\\f.bin.003", 4);
             FlipByte(d / "parts\\f.bin.009", 4);
         },
         13, 13},
        {"two files of the last volume lost and another volume damaged",
         [](const TScratchDir& d) {
             DeleteFileA((d / "parts\\f.bin.011").c_str());
             DeleteFileA((d / "parts\\f.bin.h001").c_str());
             FlipByte(d / "parts\\f.bin.001", 4);
         },
         // The header file is the first thing read, and it is missing.
         1, 1},
        {"a part lost, the parity file damaged",
         [](const TScratchDir& d) {
             DeleteFileA((d / "parts\\f.bin.005").c_str());
             FlipByte(d / "parts\\f.bin.par", FileSizeOf(d / "parts\\f.bin.par") - 3);
         },
         1, 1},
        {"a part damaged, the parity file damaged",
         [](const TScratchDir& d) {
             FlipByte(d / "parts\\f.bin.005", 9);
             FlipByte(d / "parts\\f.bin.par", 20);
         },
         13, 13},
        {"a part lost, the parity file lost",
         [](const TScratchDir& d) {
             DeleteFileA((d / "parts\\f.bin.005").c_str());
             DeleteFileA((d / "parts\\f.bin.par").c_str());
         },
         1, 1},
        // Nothing to rebuild: the join never reads the parity file; the
        // verify run names the damage.
        {"only the parity file damaged", [](const TScratchDir& d) { FlipByte(d / "parts\\f.bin.par", 40); }, 0, 13},
        {"only the parity file lost",
         [](const TScratchDir& d) { DeleteFileA((d / "parts\\f.bin.par").c_str()); }, 0, 1},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        TScratchDir dir("paritybeyond");
        MakeSet(dir);
        row.Damage(dir);
        EXPECT_EQ(row.Verify, RunFendrix(Verify(dir)));
        EXPECT_EQ(row.Verify, RunFendrix(Verify(dir, " /REPAIR"))) << "a repair that cannot be done writes nothing";
        EXPECT_EQ(row.Join, JoinSilently(dir / "parts\\f.bin.sfv", dir / "out"));
        if (row.Join == 0)
            ExpectSourceBack(dir);
    }
}

TEST(ParitySet, VerifyReportsARepairableSetAndRepairWritesItBack) {
    struct TRow {
        const char* Label;
        std::vector<const char*> Lost;
        std::vector<const char*> Damaged;
    } rows[] = {
        {"a data part lost", {"f.bin.004"}, {}},
        {"a data part damaged", {}, {"f.bin.010"}},
        {"the last data part and its header file lost", {"f.bin.011", "f.bin.h001"}, {}},
        {"the first header file damaged", {}, {"f.bin.h001"}},
        {"the last header file lost", {"f.bin.h002"}, {}},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        TScratchDir dir("parityrepair");
        MakeSet(dir);
        MakeDirectory(dir / "good");
        for (const char* name : {"f.bin.004", "f.bin.010", "f.bin.011", "f.bin.h001", "f.bin.h002"})
            WriteFileBytes(dir / ("good\\" + std::string(name)), ReadFileBytes(dir / ("parts\\" + std::string(name))));
        for (const char* name : row.Lost)
            ASSERT_TRUE(DeleteFileA((dir / ("parts\\" + std::string(name))).c_str()));
        for (const char* name : row.Damaged)
            FlipByte(dir / ("parts\\" + std::string(name)), 7);
        const int entries = CountEntries(dir / "parts");

        EXPECT_EQ(14, RunFendrix(Verify(dir)));
        EXPECT_EQ(entries, CountEntries(dir / "parts")) << "a verify run without /REPAIR writes nothing";
        EXPECT_EQ(0, RunFendrix(Verify(dir, " /REPAIR")));
        EXPECT_EQ(0, RunFendrix(Verify(dir)));
        for (const auto* list : {&row.Lost, &row.Damaged}) {
            for (const char* name : *list) {
                SCOPED_TRACE(name);
                EXPECT_TRUE(ReadFileBytes(dir / ("good\\" + std::string(name))) ==
                            ReadFileBytes(dir / ("parts\\" + std::string(name))));
            }
        }
        for (const char* name : row.Damaged)
            EXPECT_TRUE(FileExists(dir / ("parts\\" + std::string(name) + ".damaged"))) << "the damaged copy is kept";
        EXPECT_EQ(0, JoinSilently(dir / "parts\\f.bin.sfv", dir / "out"));
        ExpectSourceBack(dir);
    }
}

TEST(ParitySet, EachLostOrDamagedVolumeOfATreeSetIsRebuilt) {
    TScratchDir probe("paritytreeprobe");
    auto makeTree = [](const TScratchDir& dir) {
        MakeDirectory(dir / "src");
        MakeDirectory(dir / "src\\sub");
        MakeDirectory(dir / "src\\empty");
        WritePatternFile(dir / "src\\a.bin", 2300, 1);
        WritePatternFile(dir / "src\\sub\\b.bin", 150, 2);
        WritePatternFile(dir / "src\\sub\\c.bin", 0, 3);
        WritePatternFile(dir / "src\\z.bin", 4000, 5);
        SetLastWriteTimeOf(dir / "src\\a.bin", 130000000000000000ull);
        SetLastWriteTimeOf(dir / "src\\sub\\b.bin", 130000000120000000ull);
        MakeDirectory(dir / "parts");
        MakeDirectory(dir / "out");
        return RunFendrix("/SILENT " + Quoted(dir / "src") + " " + Quoted(dir / "parts") + " /SIZE1000 /PARITY");
    };
    ASSERT_EQ(0, makeTree(probe));
    const size_t count = VolumesOf(probe / "parts\\src.par").size();
    ASSERT_GE(count, 7u);
    for (bool damage : {false, true}) {
        for (size_t lost = 0; lost < count; ++lost) {
            TScratchDir dir("paritytree");
            ASSERT_EQ(0, makeTree(dir));
            const std::vector<TParityVolume> volumes = VolumesOf(dir / "parts\\src.par");
            ASSERT_EQ(count, volumes.size());
            SCOPED_TRACE(std::string(damage ? "damaged" : "lost") + " volume " + std::to_string(lost + 1) + ": " +
                         VolumeLabel(volumes[lost]));
            for (const TParityFile& file : volumes[lost].Files) {
                if (damage)
                    FlipByte(dir / ("parts\\" + file.Name), static_cast<size_t>(file.Size / 2));
                else
                    ASSERT_TRUE(DeleteFileA((dir / ("parts\\" + file.Name)).c_str()));
            }
            EXPECT_EQ(0, JoinSilently(dir / "parts\\src.sfv", dir / "out"));
            ExpectSameTree(dir / "src", dir / "out\\src");
        }
    }
}

TEST(ParitySet, WithoutTheSwitchNothingChanges) {
    TScratchDir dir("noparity");
    WritePatternFile(dir / "f.bin", 10990, 11);
    MakeDirectory(dir / "plain");
    MakeDirectory(dir / "parity");
    ASSERT_EQ(0, SplitSilently(dir / "f.bin", dir / "plain", 1000));
    ASSERT_EQ(0, RunFendrix("/SILENT " + Quoted(dir / "f.bin") + " " + Quoted(dir / "parity") + " /SIZE1000 /PARITY"));
    EXPECT_FALSE(FileExists(dir / "plain\\f.bin.par"));
    EXPECT_EQ(CountEntries(dir / "plain") + 1, CountEntries(dir / "parity"));
    // Every part is the same; the sfv file lists the parity file on top.
    for (const char* name : {"f.bin.001", "f.bin.011", "f.bin.h001", "f.bin.h002"})
        EXPECT_TRUE(ReadFileBytes(dir / ("plain\\" + std::string(name))) ==
                    ReadFileBytes(dir / ("parity\\" + std::string(name))))
            << name;
    const std::string plainSfv = ReadFileBytes(dir / "plain\\f.bin.sfv");
    const std::string paritySfv = ReadFileBytes(dir / "parity\\f.bin.sfv");
    EXPECT_EQ(std::string::npos, plainSfv.find(".par"));
    EXPECT_EQ(0u, paritySfv.find(plainSfv));
    EXPECT_EQ(plainSfv.size(), paritySfv.find("f.bin.par ", plainSfv.size()));
}

TEST(ParitySet, PartsTooLargeToHoldInMemoryAreRefused) {
    TScratchDir dir("paritylarge");
    WritePatternFile(dir / "f.bin", 100, 1);
    MakeDirectory(dir / "parts");
    EXPECT_EQ(6, RunFendrix("/SILENT " + Quoted(dir / "f.bin") + " " + Quoted(dir / "parts") + " /SIZE" +
                            std::to_string(ParityLargestPart + 1) + " /PARITY"));
    EXPECT_EQ(0, CountEntries(dir / "parts"));
    // The same size without the switch is a size like any other.
    EXPECT_EQ(0, RunFendrix("/SILENT " + Quoted(dir / "f.bin") + " " + Quoted(dir / "parts") + " /SIZE" +
                            std::to_string(ParityLargestPart + 1)));
    EXPECT_TRUE(FileExists(dir / "parts\\f.bin.001"));
}

// Repairs of one set, one after another: an earlier repair's copy of the
// damaged file stays as it was, and each repair keeps its own under the next
// free name, where a second repair used to end with 9.
TEST(ParitySet, RepeatedRepairsKeepEveryDamagedCopy) {
    TScratchDir dir("parityagain");
    MakeSet(dir);
    const std::string part = dir / "parts\\f.bin.004";
    const std::string good = ReadFileBytes(part);
    const struct {
        const char* Label;
        size_t FlipAt;
        const char* Kept;
    } rows[] = {
        {"first repair", 5, "f.bin.004.damaged"},
        {"second repair", 6, "f.bin.004.damaged2"},
        {"third repair", 7, "f.bin.004.damaged3"},
    };
    std::vector<std::pair<std::string, std::string>> kept;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Label);
        WriteFileBytes(part, good);
        FlipByte(part, row.FlipAt);
        const std::string damaged = ReadFileBytes(part);
        EXPECT_EQ(0, RunFendrix(Verify(dir, " /REPAIR")));
        EXPECT_TRUE(good == ReadFileBytes(part)) << "the part is rebuilt";
        kept.emplace_back(row.Kept, damaged);
        for (const auto& [name, bytes] : kept)
            EXPECT_TRUE(bytes == ReadFileBytes(dir / ("parts\\" + name))) << name << " is as its repair kept it";
    }
    EXPECT_EQ(0, JoinSilently(dir / "parts\\f.bin.001", dir / "out"));
    ExpectSourceBack(dir);
}
