// A set that comes back damaged: the silent join and the verify run tell a
// damaged file (13) from a missing one (1), a damaged header file is found
// before anything is created, and a set made before checksums joins as it
// always did.
#include "support/Processes.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>

namespace {

std::string Number3(int n) {
    char text[8];
    std::snprintf(text, sizeof text, "%03d", n);
    return text;
}

// A file of 20 parts of 1000 bytes: f.bin.001 to f.bin.020, f.bin.h001.
void MakeSet(const TScratchDir& dir) {
    WritePatternFile(dir / "f.bin", 19500, 3);
    MakeDirectory(dir / "parts");
    MakeDirectory(dir / "out");
    ASSERT_EQ(0, RunFendrix("/SILENT " + Quoted(dir / "f.bin") + " " + Quoted(dir / "parts") + " /SIZE1000"));
    ASSERT_TRUE(FileExists(dir / "parts\\f.bin.020"));
    ASSERT_TRUE(FileExists(dir / "parts\\f.bin.sfv"));
}

struct TDamageCase {
    const char* Label;
    std::function<void(const TScratchDir&)> Damage;
    int Exit;
    // The verify run where the set has no sfv file: a flipped byte keeps
    // every length, and only a checksum could tell.
    int ExitWithoutChecksums;
};

const TDamageCase DamageCases[] = {
    {"intact", [](const TScratchDir&) {}, 0, 0},
    {"one byte flipped in part 7 of 20", [](const TScratchDir& d) { FlipByte(d / "parts\\f.bin.007", 500); }, 13, 0},
    {"last byte of the last part flipped", [](const TScratchDir& d) { FlipByte(d / "parts\\f.bin.020", 499); }, 13,
     0},
    // The magic is hit: without checksums the header seems to go on in a
    // header file that is not there.
    {"header file damaged", [](const TScratchDir& d) { FlipByte(d / "parts\\f.bin.h001", 3); }, 13, 1},
    {"part 12 truncated",
     [](const TScratchDir& d) {
         WriteFileBytes(d / "parts\\f.bin.012", ReadFileBytes(d / "parts\\f.bin.012").substr(0, 999));
     },
     13, 13},
    {"part 12 missing", [](const TScratchDir& d) { DeleteFileA((d / "parts\\f.bin.012").c_str()); }, 1, 1},
    {"header file missing", [](const TScratchDir& d) { DeleteFileA((d / "parts\\f.bin.h001").c_str()); }, 1, 1},
};

}  // namespace

TEST(DamagedSet, SilentJoinAndVerifyTellDamageFromLoss) {
    for (const TDamageCase& c : DamageCases) {
        SCOPED_TRACE(c.Label);
        TScratchDir dir("damage");
        MakeSet(dir);
        c.Damage(dir);
        EXPECT_EQ(c.Exit, RunFendrix("/SILENT " + Quoted(dir / "parts\\f.bin.001") + " /VERIFY"));
        EXPECT_EQ(0, CountEntries(dir / "out")) << "verify writes nothing";
        const std::string start = FileExists(dir / "parts\\f.bin.h001") ? "f.bin.h001" : "f.bin.sfv";
        EXPECT_EQ(c.Exit, RunFendrix("/SILENT " + Quoted(dir / ("parts\\" + start)) + " " + Quoted(dir / "out") +
                                     " /UNSPLIT"));
        if (c.Exit == 0)
            EXPECT_EQ(ReadFileBytes(dir / "f.bin"), ReadFileBytes(dir / "out\\f.bin"));
        if (std::string(c.Label) == "header file damaged")
            EXPECT_EQ(0, CountEntries(dir / "out")) << "nothing is created from a damaged header";
    }
}

// Without a checksum file the verify run checks what it can: every part is
// there and together they are as long as the header says.
TEST(DamagedSet, VerifyWithoutChecksumsChecksPresenceAndLength) {
    for (const TDamageCase& c : DamageCases) {
        SCOPED_TRACE(c.Label);
        TScratchDir dir("nosfv");
        MakeSet(dir);
        DeleteFileA((dir / "parts\\f.bin.sfv").c_str());
        c.Damage(dir);
        EXPECT_EQ(c.ExitWithoutChecksums, RunFendrix("/SILENT " + Quoted(dir / "parts\\f.bin.003") + " /VERIFY"));
    }
}

// A set made before checksums has no sfv file and joins exactly as it did.
TEST(DamagedSet, ASetWithoutChecksumsJoinsAsBefore) {
    TScratchDir dir("oldset");
    MakeSet(dir);
    DeleteFileA((dir / "parts\\f.bin.sfv").c_str());
    FlipByte(dir / "parts\\f.bin.007", 500);
    ASSERT_EQ(0, RunFendrix("/SILENT " + Quoted(dir / "parts\\f.bin.001") + " " + Quoted(dir / "out") + " /UNSPLIT"));
    std::string expected = ReadFileBytes(dir / "f.bin");
    expected[6 * 1000 + 500] = static_cast<char>(expected[6 * 1000 + 500] ^ 0x5A);
    EXPECT_EQ(expected, ReadFileBytes(dir / "out\\f.bin"));
}

// Lines that are no "name hex8" are passed over; a listed file that is no
// part of the set is not followed.
TEST(DamagedSet, OddChecksumLinesArePassedOver) {
    TScratchDir dir("oddsfv");
    MakeSet(dir);
    std::string sfv = ReadFileBytes(dir / "parts\\f.bin.sfv");
    sfv = "garbage line\r\n;comment\r\n..\\..\\elsewhere.txt 00000000\r\nf.bin.007 XYZ\r\n" + sfv + "\r\n\r\n";
    WriteFileBytes(dir / "parts\\f.bin.sfv", sfv);
    EXPECT_EQ(0, RunFendrix("/SILENT " + Quoted(dir / "parts\\f.bin.sfv") + " /VERIFY"));
    EXPECT_EQ(0, RunFendrix("/SILENT " + Quoted(dir / "parts\\f.bin.sfv") + " " + Quoted(dir / "out") + " /UNSPLIT"));
    EXPECT_EQ(ReadFileBytes(dir / "f.bin"), ReadFileBytes(dir / "out\\f.bin"));
}

TEST(DamagedSet, VerifyPathCodes) {
    TScratchDir dir("verifypaths");
    MakeSet(dir);
    EXPECT_EQ(1, RunFendrix("/SILENT " + Quoted(dir / "parts\\nothing.001") + " /VERIFY"));
    EXPECT_EQ(3, RunFendrix("/SILENT " + Quoted(dir / "parts") + " /VERIFY"));
    WriteFileBytes(dir / "parts\\f.bin.h001", "not a header");
    WriteFileBytes(dir / "parts\\f.bin.sfv", "");
    EXPECT_EQ(1, RunFendrix("/SILENT " + Quoted(dir / "parts\\f.bin.001") + " /VERIFY"))
        << "a header that never ends runs into a missing header file";
}
