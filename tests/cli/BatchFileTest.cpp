// The join batch file: exact bytes, the OEM code page, and the system's own
// command interpreter rebuilding the file from it.
#include "support/Processes.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <windows.h>

TEST(BatchFile, LinesAreExactToTheByte) {
    struct TCase {
        const char* Label;
        std::string Source;
        std::string BatchName;
        int64_t Size;
        std::string Expected;
    };
    const TCase cases[] = {
        {"one part: only the first line", "report.doc", "report.bat", 50,
         "copy /b \"report.doc.001\" \"report.doc\"\r\n"},
        {"three parts", "report.doc", "report.bat", 250,
         "copy /b \"report.doc.001\" \"report.doc\"\r\n"
         "copy /b \"report.doc\" + \"report.doc.002\"\r\n"
         "copy /b \"report.doc\" + \"report.doc.003\"\r\n"},
        {"an exact multiple appends the empty part too", "movie.part1.avi", "movie.part1.bat", 200,
         "copy /b \"movie.part1.avi.001\" \"movie.part1.avi\"\r\n"
         "copy /b \"movie.part1.avi\" + \"movie.part1.avi.002\"\r\n"
         "copy /b \"movie.part1.avi\" + \"movie.part1.avi.003\"\r\n"},
        {"no extension", "README", "README.bat", 10, "copy /b \"README.001\" \"README\"\r\n"},
        {"spaces stay inside the quotes", "my file.txt", "my file.bat", 10,
         "copy /b \"my file.txt.001\" \"my file.txt\"\r\n"},
        // The test prefix runs with OEM code page 437, where the ANSI
        // u-umlaut (0xFC) is 0x81.
        {"letters outside ASCII in the OEM code page", "gr\xFC\xDF.txt", "gr\xFC\xDF.bat", 10,
         "copy /b \"gr\x81\xE1.txt.001\" \"gr\x81\xE1.txt\"\r\n"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Label);
        TScratchDir dir("bat");
        MakeDirectory(dir / "out");
        WritePatternFile(dir / c.Source, c.Size, 4);
        ASSERT_EQ(0, RunFendrix("/SILENT " + Quoted(c.Source) + " out /SIZE100 /BATCH", dir.Path()));
        EXPECT_EQ(c.Expected, ReadFileBytes(dir / ("out\\" + c.BatchName)));
    }
}

TEST(BatchFile, ReplacesAnExistingBatchFileWithoutAsking) {
    TScratchDir dir("batover");
    MakeDirectory(dir / "out");
    WritePatternFile(dir / "a.bin", 10, 4);
    WriteFileBytes(dir / "out\\a.bat", std::string(300, 'z'));
    ASSERT_EQ(0, RunFendrix("/SILENT a.bin out /BATCH", dir.Path()));
    EXPECT_EQ("copy /b \"a.bin.001\" \"a.bin\"\r\n", ReadFileBytes(dir / "out\\a.bat"));
}

TEST(BatchFile, TheCommandInterpreterRebuildsTheFile) {
    const int64_t sizes[] = {0, 1, 100, 4999, 5000, 5001, 123457};
    for (int64_t size : sizes) {
        SCOPED_TRACE(size);
        TScratchDir dir("cmd");
        MakeDirectory(dir / "parts");
        WritePatternFile(dir / "data set.bin", size, static_cast<uint32_t>(size));
        ASSERT_EQ(0, RunFendrix("/SILENT \"data set.bin\" parts /SIZE1000 /BATCH", dir.Path()));

        char system[MAX_PATH];
        GetSystemDirectoryA(system, MAX_PATH);
        const std::string cmd = std::string(system) + "\\cmd.exe";
        ASSERT_EQ(0, RunProgram(cmd, "/c \"data set.bat\"", dir / "parts"));
        EXPECT_EQ(ReadFileBytes(dir / "data set.bin"), ReadFileBytes(dir / "parts\\data set.bin"));
    }
}
