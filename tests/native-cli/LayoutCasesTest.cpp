// The shared layouts of a set's data parts (tests/shared/LayoutCases.h)
// through the native program's verify and join: the same code from both, and
// the same line naming the same part.
#include "Scratch.h"
#include "shared/LayoutCaseSteps.h"

#include <gtest/gtest.h>

namespace {

TEST(LayoutCases, NativeVerifyAndJoinGiveTheSameVerdict) {
    for (const TLayoutCase& c : LayoutCases) {
        SCOPED_TRACE(c.Name);
        TNativeScratch dir;
        dir.MakeDir("parts");
        dir.MakeDir("out");
        dir.Write("f.bin", LayoutSource(c));
        ASSERT_EQ(0, RunNative({"split", "f.bin", "parts", "--size", std::to_string(LayoutPartSize), "--quiet"},
                               dir.Dir)
                         .Code);
        DealLayoutParts(c, dir);
        const TNativeRun verify = RunNative({"verify", "parts/f.bin.h001"}, dir.Dir);
        const TNativeRun join = RunNative({"join", "parts/f.bin.h001", "out", "--quiet"}, dir.Dir);
        EXPECT_EQ(c.Code, verify.Code) << verify.Err;
        EXPECT_EQ(c.Code, join.Code) << join.Err;
        EXPECT_EQ(verify.Err, join.Err) << "both name the same fault";
        if (c.WrongPart != 0)
            EXPECT_NE(std::string::npos, verify.Err.find("\"" + LayoutPartName(c.WrongPart) + "\"")) << verify.Err;
        else
            EXPECT_EQ("", verify.Err);
        // The size the part should have: part 001's, or what the header
        // leaves for the part that holds the end.
        const std::string wanted = std::to_string(c.Wanted) + " bytes";
        if (c.Code == 13 && c.Wanted > 0)
            EXPECT_TRUE(verify.Err.find("(" + wanted + ")") != std::string::npos ||
                        verify.Err.find(" leaves " + wanted) != std::string::npos)
                << verify.Err;
        if (c.Code == 0)
            EXPECT_EQ(LayoutSource(c), dir.Read("out/f.bin"));
    }
}

}  // namespace
