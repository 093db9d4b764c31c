// The shared layouts of a set's data parts (tests/shared/LayoutCases.h)
// through /VERIFY and /UNSPLIT of Fendrix.exe: the same code from both.
#include "shared/LayoutCaseSteps.h"
#include "support/Processes.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

struct TWineLayoutFiles {
    TScratchDir& Dir;
    std::string Path(std::string rel) const {
        for (char& c : rel)
            if (c == '/')
                c = '\\';
        return Dir / rel;
    }
    void Write(const std::string& rel, const std::string& bytes) { WriteFileBytes(Path(rel), bytes); }
    void Remove(const std::string& rel) { DeleteFileA(Path(rel).c_str()); }
    bool Exists(const std::string& rel) const { return FileExists(Path(rel)); }
};

TEST(LayoutCases, WindowsVerifyAndJoinGiveTheSameVerdict) {
    for (const TLayoutCase& c : LayoutCases) {
        SCOPED_TRACE(c.Name);
        TScratchDir dir("layout");
        TWineLayoutFiles files{dir};
        MakeDirectory(dir / "parts");
        MakeDirectory(dir / "out");
        WriteFileBytes(dir / "f.bin", LayoutSource(c));
        ASSERT_EQ(0, RunFendrix("/SILENT f.bin parts /SIZE" + std::to_string(LayoutPartSize), dir.Path()));
        DealLayoutParts(c, files);
        EXPECT_EQ(c.Code, RunFendrix("/SILENT parts\\f.bin.h001 /VERIFY", dir.Path()));
        EXPECT_EQ(c.Code, RunFendrix("/SILENT parts\\f.bin.h001 out /UNSPLIT", dir.Path()));
        if (c.Code == 0)
            EXPECT_EQ(LayoutSource(c), ReadFileBytes(dir / "out\\f.bin"));
    }
}

}  // namespace
