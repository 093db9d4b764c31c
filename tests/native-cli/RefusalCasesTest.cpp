// The shared refusals of a set (tests/shared/RefusalCases.h) through the
// native program: each verify run and join that refuses says so in one line
// that names every file the refusal is about.
#include "Scratch.h"
#include "shared/RefusalCases.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

void ExpectNamed(const TRefusalCase& c, const TNativeRun& run) {
    EXPECT_EQ(1, std::count(run.Err.begin(), run.Err.end(), '\n')) << run.Err;
    EXPECT_EQ(std::string::npos, run.Err.find("unknown error")) << run.Err;
    for (const char* name : c.Named)
        EXPECT_NE(std::string::npos, run.Err.find(name)) << name << " in: " << run.Err;
}

TEST(RefusalCases, NativeTextsNameTheFiles) {
    for (const TRefusalCase& c : RefusalCases) {
        SCOPED_TRACE(c.Name);
        TNativeScratch dir;
        dir.MakeDir("parts");
        dir.MakeDir("out");
        dir.Write("f.bin", RefusalSource());
        std::vector<std::string> split = {"split", "f.bin", "parts", "--size", "10", "--quiet"};
        if (c.Parity)
            split.push_back("--parity");
        ASSERT_EQ(0, RunNative(split, dir.Dir).Code);
        DoRefusalDamage(c, dir);
        const TNativeRun verify = RunNative({"verify", "parts/f.bin.001"}, dir.Dir);
        EXPECT_EQ(c.VerifyCode, verify.Code) << verify.Err;
        ExpectNamed(c, verify);
        const TNativeRun join = RunNative({"join", "parts/f.bin.001", "out", "--quiet"}, dir.Dir);
        EXPECT_EQ(c.JoinCode, join.Code) << join.Err;
        if (c.JoinCode != 0)
            ExpectNamed(c, join);
        else
            EXPECT_EQ(RefusalSource(), dir.Read("out/f.bin"));
    }
}

}  // namespace
