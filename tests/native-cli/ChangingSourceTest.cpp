// A file cut short while the program copies it, as a log rotated under a
// running split: the job ends with the read error's code and names the file,
// never with a signal. The cut comes once the copy is under way; should it
// fall between two of the copy's steps, where the file is not held, the
// program takes it as a file that ended there, so a case is run again.
#include "Scratch.h"

#include <gtest/gtest.h>

TEST(ChangingSource, AFileCutShortDuringTheCopyEndsTheJobWithAReadError) {
    struct TRow {
        const char* Label;
        const char* Prepare;
        const char* Run;      // in the background
        const char* Growing;  // watched until it holds 8 MiB
        const char* Cut;      // then cut to 1 MiB
    } rows[] = {
        {"split of the file", "truncate -s 2G big && mkdir s", "\"$FENDRIX\" split big s -s 100M -q", "s/big.001",
         "big"},
        {"join of a part", "truncate -s 700M big && mkdir s o && \"$FENDRIX\" split big s -s 600M -q",
         "\"$FENDRIX\" join s/big.001 o -q", "o/big", "s/big.001"},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        TNativeScratch dir;
        ASSERT_EQ(0, RunShell(row.Prepare, dir.Dir).Code);
        TNativeRun run;
        for (int attempt = 0; attempt < 3; ++attempt) {
            run = RunShell(std::string("rm -rf o/*; ") + row.Run + " & job=$!; while [ \"$(stat -c %s " + row.Growing +
                               " 2>/dev/null || echo 0)\" -lt 8388608 ]; do sleep 0.002; done; truncate -s 1M " +
                               row.Cut + "; wait $job; echo \"ended $?\"",
                           dir.Dir);
            if (run.Out.find("ended 0") == std::string::npos)
                break;
            ASSERT_EQ(0, RunShell(std::string("rm -rf big s o && ") + row.Prepare, dir.Dir).Code);
        }
        EXPECT_NE(std::string::npos, run.Out.find("ended 9")) << run.Out << run.Err;
        EXPECT_NE(std::string::npos, run.Err.find(dir.Path(row.Cut) + ": ")) << run.Err;
    }
}
