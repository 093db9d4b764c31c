// A job never writes over the files it reads: a split whose output lands on
// one of its own sources, a join whose output lands on one of its parts.
#include "index/UnitFileInfo.h"
#include "support/Processes.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

TEST(SelfOverwriteGuard, SplitRefusesToReplaceItsOwnSources) {
    struct TCase {
        const char* Label;
        std::vector<std::string> Files;  // below the scratch directory
        std::string Arguments;
        std::string Victim;
    };
    const TCase cases[] = {
        {"a data part name in the tree being split", {"d\\d.001", "d\\x.txt"}, "/SILENT d d", "d\\d.001"},
        {"a header file name in the tree being split", {"d\\d.h001", "d\\x.txt"}, "/SILENT d d", "d\\d.h001"},
        {"the batch file is the source itself", {"x.bat"}, "/SILENT x.bat . /BATCH", "x.bat"},
        {"a four-digit part of a 1000-part set", {"d\\d.1000", "d\\pad.bin"}, "/SILENT d d /SIZE10", "d\\d.1000"},
        {"the parity file is a source", {"d\\d.par", "d\\x.txt"}, "/SILENT d d /PARITY", "d\\d.par"},
        {"the recovery index is a source", {"d\\D.PAR2", "d\\x.txt"}, "/SILENT d d /RECOVERY1", "d\\D.PAR2"},
        {"a recovery volume is a source", {"d\\d.vol7+1.par2", "d\\x.txt"}, "/SILENT d d /RECOVERY", "d\\d.vol7+1.par2"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Label);
        TScratchDir dir("guard");
        MakeDirectory(dir / "d");
        for (size_t i = 0; i < c.Files.size(); ++i)
            WritePatternFile(dir / c.Files[i], c.Files[i] == "d\\pad.bin" ? 9970 : 20, static_cast<uint32_t>(i));
        const std::string before = ReadFileBytes(dir / c.Victim);
        const int entriesBefore = CountEntries(dir / "d") + CountEntries(dir.Path());

        EXPECT_EQ(9, RunFendrix(c.Arguments, dir.Path()));
        EXPECT_EQ(before, ReadFileBytes(dir / c.Victim));
        EXPECT_EQ(entriesBefore, CountEntries(dir / "d") + CountEntries(dir.Path())) << "nothing was written";
    }
}

// The program copy never replaces a file, so a listed Fendrix.exe in the
// output directory is safe: the split goes on, and the file stays itself.
TEST(SelfOverwriteGuard, AListedProgramCopyIsNoVictim) {
    TScratchDir dir("guardexe");
    MakeDirectory(dir / "d");
    MakeDirectory(dir / "back");
    WritePatternFile(dir / "d\\Fendrix.exe", 20, 7);
    const std::string before = ReadFileBytes(dir / "d\\Fendrix.exe");
    ASSERT_EQ(0, RunFendrix("/SILENT d d /COPY", dir.Path()));
    EXPECT_EQ(before, ReadFileBytes(dir / "d\\Fendrix.exe"));
    ASSERT_EQ(0, RunFendrix("/SILENT d\\d.001 back /UNSPLIT", dir.Path()));
    EXPECT_EQ(before, ReadFileBytes(dir / "back\\d\\Fendrix.exe"));
}

// Without /PARITY the split writes no parity file, so a listed one is safe.
TEST(SelfOverwriteGuard, AParityFileNameIsFreeWithoutTheSwitch) {
    TScratchDir dir("guardpar");
    MakeDirectory(dir / "d");
    WritePatternFile(dir / "d\\d.par", 20, 3);
    const std::string before = ReadFileBytes(dir / "d\\d.par");
    ASSERT_EQ(0, RunFendrix("/SILENT d d", dir.Path()));
    EXPECT_EQ(before, ReadFileBytes(dir / "d\\d.par"));
}

TEST(SelfOverwriteGuard, SplitIntoItsOwnTreeIsFineWithoutCollisions) {
    TScratchDir dir("guardok");
    MakeDirectory(dir / "d");
    WritePatternFile(dir / "d\\x.txt", 300, 1);
    WritePatternFile(dir / "d\\d.01", 30, 2);  // not a name the split writes
    ASSERT_EQ(0, RunFendrix("/SILENT d d /SIZE100", dir.Path()));
    EXPECT_TRUE(FileExists(dir / "d\\d.004"));
    EXPECT_EQ(30, FileSizeOf(dir / "d\\d.01"));
}

TEST(SelfOverwriteGuard, JoinRefusesToReplaceAPartOfItsSet) {
    const char* names[] = {"set.002", "SET.H001", "set.001"};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        TScratchDir dir("jguard");
        // A hand-made set whose only entry is named like one of its parts,
        // joined into the directory that holds the parts.
        const std::string data = PatternBytes(30, 4);
        WriteFileBytes(dir / "set.001", data.substr(0, 20));
        WriteFileBytes(dir / "set.002", data.substr(20));
        WriteFileBytes(dir / "set.h001",
                       std::string("QoVa40\t") + name + "\tF\t30\t20050307140509120\t\t");
        const std::string part1 = ReadFileBytes(dir / "set.001");
        const std::string part2 = ReadFileBytes(dir / "set.002");
        const std::string header = ReadFileBytes(dir / "set.h001");

        EXPECT_EQ(9, RunFendrix("/SILENT set.001 . /UNSPLIT", dir.Path()));
        EXPECT_EQ(part1, ReadFileBytes(dir / "set.001"));
        EXPECT_EQ(part2, ReadFileBytes(dir / "set.002"));
        EXPECT_EQ(header, ReadFileBytes(dir / "set.h001"));
    }
}

TEST(SelfOverwriteGuard, NumberedFilesBeyondTheSetInItsOwnTreeAreAllowed) {
    // d holds x.txt (250 bytes) and one numbered file of 20 bytes: 270
    // bytes in parts of 100 make three data parts (four at most could be
    // written) and a few header files. A numbered name that the set never
    // reaches is no file of the set and must not stop the split.
    const char* names[] = {"d.050", "d.005", "D.999", "d.h050", "d.h009"};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        TScratchDir dir("beyond");
        MakeDirectory(dir / "d");
        WritePatternFile(dir / "d\\x.txt", 250, 1);
        const std::string numbered = dir / (std::string("d\\") + name);
        WritePatternFile(numbered, 20, 2);

        EXPECT_EQ(0, RunFendrix("/SILENT d d /SIZE100", dir.Path()));
        EXPECT_EQ(PatternBytes(20, 2), ReadFileBytes(numbered));
        EXPECT_EQ(PatternBytes(250, 1), ReadFileBytes(dir / "d\\x.txt"));
        EXPECT_TRUE(FileExists(dir / "d\\d.003"));
        EXPECT_FALSE(FileExists(dir / "d\\d.004"));
        EXPECT_TRUE(FileExists(dir / "d\\d.h001"));

        // The set holds both files: it joins back elsewhere.
        MakeDirectory(dir / "back");
        EXPECT_EQ(0, RunFendrix("/SILENT /UNSPLIT d\\d.001 back", dir.Path()));
        for (const std::string joined : {std::string("x.txt"), std::string(name)}) {
            const std::string path = dir / ("back\\d\\" + joined);
            EXPECT_TRUE(FileExists(path)) << joined;
            if (FileExists(path)) {
                EXPECT_EQ(joined == "x.txt" ? PatternBytes(250, 1) : PatternBytes(20, 2), ReadFileBytes(path));
            }
        }
    }
}
