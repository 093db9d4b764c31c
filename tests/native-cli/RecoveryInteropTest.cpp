// Recovery files against par2cmdline, both ways, and the losses a set with
// them survives, through the program as users run it.
#include "Scratch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

// f.bin of 450,000 bytes in parts of 100,000: four full parts and part 005
// of 50,000 bytes, which shares its volume with header file 001.
const char* const MakeSet = "head -c 450000 /dev/urandom >f.bin && mkdir s && cd s && ";

TEST(RecoveryInterop, WithPar2) {
    struct TRow {
        const char* Label;
        const char* Script;
        int Code;
        const char* Said;
    } rows[] = {
        {"par2 accepts a fresh set", "\"$FENDRIX\" split ../f.bin . -s 100000 -r 2 -q && par2 verify -q f.bin.par2", 0,
         ""},
        {"par2 rebuilds three lost files of two volumes",
         "\"$FENDRIX\" split ../f.bin . -s 100000 -r 2 -q && rm f.bin.002 f.bin.005 f.bin.h001 && "
         "par2 repair -q f.bin.par2 >/dev/null && cksfv -q -f f.bin.sfv",
         0, ""},
        {"par2 rebuilds a damaged part and a damaged recovery file stays aside",
         "\"$FENDRIX\" split ../f.bin . -s 100000 -r 2 -q && flip f.bin.003 77 && flip f.bin.vol0+1.par2 999 && "
         "par2 repair -q f.bin.par2 >/dev/null && cmp f.bin.003 ../f.bin.003.want",
         0, ""},
        {"par2's own slices: the verify run finds and mends what it can rebuild",
         "\"$FENDRIX\" split ../f.bin . -s 100000 -q && par2 create -q -r30 f.bin.par2 f.bin.0* f.bin.h001 >/dev/null "
         "&& rm f.bin.004 && flip f.bin.001 5 && "
         "{ \"$FENDRIX\" verify f.bin.001; [ $? -eq 14 ]; } && \"$FENDRIX\" verify --repair f.bin.001 && "
         "cksfv -q -f f.bin.sfv",
         0, "f.bin.001.damaged"},
        {"par2's slices of a size that fits no part: the join rebuilds",
         "\"$FENDRIX\" split ../f.bin . -s 100000 -q && par2 create -q -s30000 -r25 f.bin.par2 f.bin.0* f.bin.h001 "
         ">/dev/null && rm f.bin.002 && mkdir ../out && \"$FENDRIX\" join f.bin.001 ../out -q && cmp ../out/f.bin "
         "../f.bin && [ \"$(ls ../out)\" = f.bin ]",
         0, ""},
        {"one file too many lost: the join says how many slices it lacks",
         "\"$FENDRIX\" split ../f.bin . -s 100000 -r 1 -q && rm f.bin.001 f.bin.002 f.bin.003 && mkdir ../out && "
         "\"$FENDRIX\" join f.bin.004 ../out -q",
         1, "1 more would be needed"},
        {"a description that names a file outside the set is never written",
         "head -c 1000 /dev/urandom >victim && \"$FENDRIX\" split ../f.bin . -s 100000 -q && par2 create -q -r30 f.bin.par2 f.bin.0* "
         "victim >/dev/null && rm f.bin.003 && flip victim 9 && "
         "cp victim ../victim.damaged && \"$FENDRIX\" verify --repair f.bin.001 && cmp victim ../victim.damaged && "
         "[ ! -e victim.damaged ]",
         0, ""},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        TNativeScratch dir;
        const TNativeRun run = RunShell(std::string(MakeSet) + "dd if=../f.bin of=../f.bin.003.want bs=100000 skip=2 "
                                                               "count=1 status=none && " +
                                            row.Script,
                                        dir.Dir);
        EXPECT_EQ(row.Code, run.Code) << run.Out << run.Err;
        EXPECT_NE(std::string::npos, (run.Out + run.Err).find(row.Said)) << run.Out << run.Err;
    }
}

// Every choice of up to N lost or damaged volumes of a tree set comes back
// whole through the join; one more than that ends it cleanly.
TEST(RecoveryInterop, EveryLossUpToTheCount) {
    TNativeScratch dir;
    // Forty names make the header longer than one part.
    const TNativeRun made = RunShell(
        "mkdir -p t/a t/b s && head -c 9000 /dev/urandom >t/a/one && head -c 3333 /dev/urandom >t/b/two && "
        "for i in $(seq 10 49); do echo $i >t/a/a-file-with-a-name-long-enough-$i.txt; done && "
        "\"$FENDRIX\" split t s -s 2000 -r 2 -q && ls s | grep -v par2 | grep -v sfv",
        dir.Dir);
    ASSERT_EQ(0, made.Code) << made.Err;
    // Each data part a volume, the last one with header file 001, each
    // further header file one of its own.
    std::vector<std::vector<std::string>> volumes;
    std::string last;
    for (size_t at = 0, end; (end = made.Out.find('\n', at)) != std::string::npos; at = end + 1) {
        const std::string name = made.Out.substr(at, end - at);
        if (name[2] != 'h')
            volumes.push_back({name});
        else if (name == "t.h001")
            volumes.back().push_back(name);
        else
            volumes.push_back({name});
    }
    ASSERT_EQ(8u, volumes.size()) << made.Out;
    ASSERT_EQ((std::vector<std::string>{"t.007", "t.h001"}), volumes[6]) << made.Out;
    ASSERT_EQ((std::vector<std::string>{"t.h002"}), volumes[7]) << made.Out;
    int runs = 0;
    for (size_t a = 0; a < volumes.size(); ++a) {
        for (size_t b = a; b < volumes.size(); ++b) {
            std::string damage;
            for (size_t v : {a, b}) {
                for (const std::string& name : volumes[v])
                    damage += (v % 2 == 0 ? "rm -f c/" + name
                                          : "flip c/" + name + " 3") +
                              " && ";
            }
            SCOPED_TRACE(damage);
            const TNativeRun run = RunShell("rm -rf c o && cp -r s c && mkdir o && " + damage +
                                                "\"$FENDRIX\" join c/t.002 o -q; echo \"join $?\" && diff -r t o/t",
                                            dir.Dir);
            EXPECT_EQ(0, run.Code) << run.Out << run.Err;
            EXPECT_NE(std::string::npos, run.Out.find("join 0")) << run.Out << run.Err;
            ++runs;
        }
    }
    EXPECT_EQ(static_cast<int>(volumes.size() * (volumes.size() + 1) / 2), runs);
    // Three volumes: four slices, one more than the three made.
    const TNativeRun beyond = RunShell("rm -rf c o && cp -r s c && mkdir o && rm c/t.001 c/t.003 c/t.h002 c/t.007 && "
                                       "\"$FENDRIX\" join c/t.002 o -q",
                                       dir.Dir);
    EXPECT_EQ(1, beyond.Code) << beyond.Err;
    EXPECT_NE(std::string::npos, beyond.Err.find("1 more would be needed")) << beyond.Err;
}

// A set of 200 volumes that survives five: random losses and damage, the
// verify run's findings and its repair.
TEST(RecoveryInterop, RandomLossesOfALargeSet) {
    TNativeScratch dir;
    const TNativeRun made =
        RunShell("head -c 818000 /dev/urandom >big && mkdir s && \"$FENDRIX\" split big s -s 4096 -r 5 -q", dir.Dir);
    ASSERT_EQ(0, made.Code) << made.Err;
    std::mt19937 rng(20261208);
    for (int round = 0; round < 4; ++round) {
        std::vector<int> parts(199);
        for (int i = 0; i < 199; ++i)
            parts[static_cast<size_t>(i)] = i + 1;
        std::shuffle(parts.begin(), parts.end(), rng);
        std::string damage;
        for (int i = 0; i < 5; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "c/big.%03d", parts[static_cast<size_t>(i)]);
            damage += (i % 2 == 0 ? std::string("rm ") + name
                                  : std::string("flip ") + name + " 100") +
                      " && ";
        }
        SCOPED_TRACE(damage);
        const TNativeRun run =
            RunShell("rm -rf c o && cp -r s c && mkdir o && " + damage +
                         "{ \"$FENDRIX\" verify c/big.001 -q; [ $? -eq 14 ]; } && \"$FENDRIX\" join c/big.h001 o -q && "
                         "cmp big o/big && \"$FENDRIX\" verify --repair c/big.001 -q && cd c && cksfv -q -f big.sfv",
                     dir.Dir);
        EXPECT_EQ(0, run.Code) << run.Out << run.Err;
    }
}

}  // namespace
