// The shared refusals of a set (tests/shared/RefusalCases.h) through
// Fendrix.exe: the codes of /VERIFY and /UNSPLIT, and the set left as the
// damage left it. The texts are the native program's to show.
#include "shared/RefusalCases.h"
#include "support/Processes.h"
#include "support/TestFiles.h"
#include "support/WineCaseFiles.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

TEST(RefusalCases, WindowsCodes) {
    for (const TRefusalCase& c : RefusalCases) {
        SCOPED_TRACE(c.Name);
        TScratchDir dir("refusal");
        TWineCaseFiles files{dir};
        MakeDirectory(dir / "parts");
        MakeDirectory(dir / "out");
        WriteFileBytes(dir / "f.bin", RefusalSource());
        ASSERT_EQ(0, RunFendrix(std::string("/SILENT f.bin parts /SIZE10") + (c.Parity ? " /PARITY" : ""),
                                dir.Path()));
        DoRefusalDamage(c, files);
        const int entries = CountEntries(dir / "parts");
        EXPECT_EQ(c.VerifyCode, RunFendrix("/SILENT parts\\f.bin.001 /VERIFY", dir.Path()));
        EXPECT_EQ(entries, CountEntries(dir / "parts")) << "a verify run writes nothing";
        EXPECT_EQ(c.JoinCode, RunFendrix("/SILENT parts\\f.bin.001 out /UNSPLIT", dir.Path()));
        if (c.JoinCode == 0)
            EXPECT_EQ(RefusalSource(), ReadFileBytes(dir / "out\\f.bin"));
    }
}

}  // namespace
