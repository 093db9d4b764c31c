// Silent splits of real files and trees: the byte layout of the data parts
// and header files that a join (ours or another tool) relies on.
#include "index/UnitFileInfo.h"
#include "support/Processes.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct TSetFiles {
    std::vector<int64_t> PartSizes;
    std::vector<int64_t> HeaderSizes;
    std::string Data;
    std::string Header;
};

std::string Number3(int n) {
    char text[16];
    std::snprintf(text, sizeof text, "%03d", n);
    return text;
}

TSetFiles ReadSet(const std::string& prefix) {
    TSetFiles set;
    for (int n = 1; FileExists(prefix + "." + Number3(n)); ++n) {
        const std::string bytes = ReadFileBytes(prefix + "." + Number3(n));
        set.PartSizes.push_back(static_cast<int64_t>(bytes.size()));
        set.Data += bytes;
    }
    for (int n = 1; FileExists(prefix + ".h" + Number3(n)); ++n) {
        const std::string bytes = ReadFileBytes(prefix + ".h" + Number3(n));
        set.HeaderSizes.push_back(static_cast<int64_t>(bytes.size()));
        set.Header += bytes;
    }
    return set;
}

// The data parts hold the listed files back to back, in header order.
std::string ConcatenatedSources(const std::string& baseDir, const TFileInfos& list) {
    std::string bytes;
    for (int32_t i = 0; i < list.Count(); ++i) {
        if (list.GetItem(i)->Kind == fkFile)
            bytes += ReadFileBytes(baseDir + "\\" + list.GetItem(i)->Name);
    }
    return bytes;
}

struct TFileSplitCase {
    const char* Label;
    int64_t SourceSize;
    const char* SizeSwitch;
    int64_t PartSize;
    std::vector<int64_t> PartSizes;
};

}  // namespace

TEST(SplitLayout, SingleFilePartSizes) {
    const TFileSplitCase cases[] = {
        {"three million bytes in diskette parts", 3000000, "", 1453568, {1453568, 1453568, 92864}},
        {"an exact multiple ends with an empty part", 2000, "/SIZE1000", 1000, {1000, 1000, 0}},
        {"an empty file gives one empty part", 0, "/size1000", 1000, {0}},
        {"one byte less than a part", 999, "/SIZE1000", 1000, {999}},
        {"one byte more than a part", 1001, "/SIZE1000", 1000, {1000, 1}},
        {"hexadecimal size", 40, "/SIZE$10", 16, {16, 16, 8}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Label);
        TScratchDir dir("split");
        MakeDirectory(dir / "out");
        WritePatternFile(dir / "report.doc", c.SourceSize, 7);
        ASSERT_EQ(0, RunFendrix("/SILENT report.doc out " + std::string(c.SizeSwitch), dir.Path()));

        const TSetFiles set = ReadSet(dir / "out\\report.doc");
        EXPECT_EQ(c.PartSizes, set.PartSizes);
        EXPECT_EQ(ReadFileBytes(dir / "report.doc"), set.Data);

        // The last data part and the first header file share one medium.
        ASSERT_FALSE(set.HeaderSizes.empty());
        EXPECT_LE(set.PartSizes.back() + set.HeaderSizes[0], c.PartSize);
        for (size_t i = 1; i < set.HeaderSizes.size(); ++i)
            EXPECT_LE(set.HeaderSizes[i], c.PartSize);

        TFileInfos parsed;
        ASSERT_TRUE(TFileInfos::IsCompleteHeader(set.Header));
        ASSERT_TRUE(parsed.ParseHeader(set.Header));
        ASSERT_EQ(1, parsed.Count());
        EXPECT_EQ("report.doc", parsed.GetItem(0)->Name);
        EXPECT_EQ(fkFile, parsed.GetItem(0)->Kind);
        EXPECT_EQ(c.SourceSize, parsed.GetItem(0)->Size);
        EXPECT_FALSE(FileExists(dir / "out\\report.bat")) << "no batch file without /BATCH";
        EXPECT_FALSE(FileExists(dir / "out\\Fendrix.exe")) << "no program copy without /COPY";
    }
}

TEST(SplitLayout, HeaderSpreadsFromTheRoomOfTheLastPart) {
    // With part size 100, a 195-byte file leaves 5 bytes of room in part
    // 002; a name of 117 characters makes the header text 150 bytes long.
    TScratchDir dir("spread");
    MakeDirectory(dir / "out");
    const std::string name = std::string(113, 'n') + ".dat";
    WritePatternFile(dir / name, 195, 3);
    ASSERT_EQ(0, RunFendrix("/SILENT " + Quoted(name) + " out /SIZE100", dir.Path()));

    const TSetFiles set = ReadSet(dir / ("out\\" + name));
    EXPECT_EQ((std::vector<int64_t>{100, 95}), set.PartSizes);
    EXPECT_EQ((std::vector<int64_t>{5, 100, 45}), set.HeaderSizes);
    TFileInfos parsed;
    ASSERT_TRUE(parsed.ParseHeader(set.Header));
    EXPECT_EQ(name, parsed.GetItem(0)->Name);
}

TEST(SplitLayout, TreeWithFilesOfEverySizeAcrossParts) {
    TScratchDir dir("tree");
    MakeDirectory(dir / "out");
    MakeDirectory(dir / "data");
    WritePatternFile(dir / "data\\a", 10, 1);
    WritePatternFile(dir / "data\\b", 0, 2);
    WritePatternFile(dir / "data\\c", 5, 3);
    ASSERT_EQ(0, RunFendrix("/SILENT data out /SIZE8", dir.Path()));

    const TSetFiles set = ReadSet(dir / "out\\data");
    EXPECT_EQ((std::vector<int64_t>{8, 7}), set.PartSizes);
    TFileInfos parsed;
    ASSERT_TRUE(parsed.ParseHeader(set.Header));
    ASSERT_EQ(4, parsed.Count());
    EXPECT_EQ("data", parsed.GetItem(0)->Name);
    EXPECT_EQ(fkDirectory, parsed.GetItem(0)->Kind);
    EXPECT_EQ(ConcatenatedSources(dir.Path(), parsed), set.Data);
}

TEST(SplitLayout, TreeOfDirectoriesOnlyGivesAnEmptyPart) {
    TScratchDir dir("dirs");
    MakeDirectory(dir / "out");
    MakeDirectory(dir / "top");
    MakeDirectory(dir / "top\\one");
    MakeDirectory(dir / "top\\one\\two");
    MakeDirectory(dir / "top\\three");
    ASSERT_EQ(0, RunFendrix("/SILENT top out /BATCH", dir.Path()));

    const TSetFiles set = ReadSet(dir / "out\\top");
    EXPECT_EQ((std::vector<int64_t>{0}), set.PartSizes);
    TFileInfos parsed;
    ASSERT_TRUE(parsed.ParseHeader(set.Header));
    ASSERT_EQ(4, parsed.Count());
    for (int32_t i = 0; i < parsed.Count(); ++i)
        EXPECT_EQ(fkDirectory, parsed.GetItem(i)->Kind);
    EXPECT_FALSE(FileExists(dir / "out\\top.bat")) << "a directory source never gets a batch file";
}

TEST(SplitLayout, NineHundredNinetyNineTimesThePartSizeIsTheLimit) {
    TScratchDir dir("limit");
    MakeDirectory(dir / "ok");
    MakeDirectory(dir / "refused");
    WritePatternFile(dir / "exact.bin", 999, 5);
    WritePatternFile(dir / "over.bin", 1000, 5);

    ASSERT_EQ(0, RunFendrix("/SILENT exact.bin ok /SIZE1", dir.Path()));
    EXPECT_EQ(1, FileSizeOf(dir / "ok\\exact.bin.999"));
    EXPECT_EQ(0, FileSizeOf(dir / "ok\\exact.bin.1000")) << "the empty part after the boundary keeps four digits";
    EXPECT_FALSE(FileExists(dir / "ok\\exact.bin.1001"));

    EXPECT_EQ(7, RunFendrix("/SILENT over.bin refused /SIZE1 /COPY /BATCH", dir.Path()));
    EXPECT_EQ(0, CountEntries(dir / "refused")) << "a refused split writes nothing";
}

TEST(SplitLayout, HugePartSizeAcceptsAnySource) {
    // 999 times these sizes leaves the 64-bit range; the limit saturates.
    const char* sizes[] = {"/SIZE9232604641496273", "/SIZE9223372036854775807", "/SIZE$7FFFFFFFFFFFFFFF"};
    for (const char* size : sizes) {
        SCOPED_TRACE(size);
        TScratchDir dir("huge");
        MakeDirectory(dir / "out");
        WritePatternFile(dir / "f.bin", 300, 9);
        ASSERT_EQ(0, RunFendrix(std::string("/SILENT f.bin out ") + size, dir.Path()));
        EXPECT_EQ(ReadFileBytes(dir / "f.bin"), ReadFileBytes(dir / "out\\f.bin.001"));
    }
}

TEST(SplitLayout, ExistingPartsAreOverwrittenSilently) {
    TScratchDir dir("over");
    MakeDirectory(dir / "out");
    WritePatternFile(dir / "f.bin", 250, 1);
    WriteFileBytes(dir / "out\\f.bin.001", std::string(5000, 'x'));
    WriteFileBytes(dir / "out\\f.bin.h001", std::string(5000, 'y'));
    ASSERT_EQ(0, RunFendrix("/SILENT f.bin out /SIZE100", dir.Path()));
    const TSetFiles set = ReadSet(dir / "out\\f.bin");
    EXPECT_EQ(ReadFileBytes(dir / "f.bin"), set.Data);
    EXPECT_TRUE(TFileInfos::IsCompleteHeader(set.Header));
}

TEST(SplitLayout, ProgramCopyNeverReplacesAnExistingOne) {
    TScratchDir dir("copy");
    MakeDirectory(dir / "fresh");
    MakeDirectory(dir / "taken");
    WritePatternFile(dir / "f.bin", 10, 1);
    WriteFileBytes(dir / "taken\\Fendrix.exe", "not a program");

    ASSERT_EQ(0, RunFendrix("/SILENT f.bin fresh /COPY", dir.Path()));
    EXPECT_EQ(ReadFileBytes(FendrixExe()), ReadFileBytes(dir / "fresh\\Fendrix.exe"));
    ASSERT_EQ(0, RunFendrix("/SILENT f.bin taken /COPY", dir.Path()));
    EXPECT_EQ("not a program", ReadFileBytes(dir / "taken\\Fendrix.exe"));
}
