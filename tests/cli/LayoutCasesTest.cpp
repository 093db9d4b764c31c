// The shared layouts of a set's data parts (tests/shared/LayoutCases.h)
// through /VERIFY and /UNSPLIT of Fendrix.exe: the same code from both.
#include "shared/LayoutCaseSteps.h"
#include "support/Processes.h"
#include "support/TestFiles.h"
#include "support/WineCaseFiles.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

TEST(LayoutCases, WindowsVerifyAndJoinGiveTheSameVerdict) {
    for (const TLayoutCase& c : LayoutCases) {
        SCOPED_TRACE(c.Name);
        TScratchDir dir("layout");
        TWineCaseFiles files{dir};
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
