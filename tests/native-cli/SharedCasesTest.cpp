// The shared silent-mode cases (tests/shared/SilentCases.h) run against the
// native fendrix; Fendrix.exe runs the same table under Wine.
#include "Scratch.h"
#include "shared/SilentCaseSteps.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

std::vector<std::string> Arguments(const TSharedCase& c) {
    std::vector<std::string> args;
    args.push_back(c.Job == TCaseJob::Split ? "split" : c.Job == TCaseJob::Join ? "join" : "verify");
    args.push_back(c.Source);
    if (c.Output)
        args.push_back(c.Output);
    if (c.NoHeader)
        args.push_back("--no-header");
    if (c.Size) {
        args.push_back("--size");
        args.push_back(c.Size);
    }
    return args;
}

TEST(SharedSilentCases, NativeProgram) {
    int run = 0;
    for (const TSharedCase& c : SharedCases) {
        if (c.NativeCode == NotApplicable)
            continue;
        SCOPED_TRACE(c.Name);
        TNativeScratch dir;
        PrepareSharedCase(c, dir);
        const std::vector<std::string> args = Arguments(c);
        std::string line = "fendrix";
        for (const std::string& arg : args)
            line += " " + arg;
        SCOPED_TRACE(line);
        const TNativeRun result = RunNative(args, dir.Dir);
        CheckSharedCase(c, c.NativeCode, result.Code, dir);
        // An error is one line on stderr, a usage error that line and the
        // usage; a success says nothing there when stderr is no terminal.
        const size_t lines = static_cast<size_t>(std::count(result.Err.begin(), result.Err.end(), '\n'));
        if (result.Code == 12)
            EXPECT_NE(std::string::npos, result.Err.find("fendrix --help")) << result.Err;
        else if (result.Code != 0)
            EXPECT_EQ(1u, lines) << result.Err;
        else
            EXPECT_EQ("", result.Err);
        ++run;
    }
    EXPECT_GT(run, 30);
}

}  // namespace
