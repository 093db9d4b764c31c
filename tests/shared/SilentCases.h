// The silent-mode cases that both programs must pass: Fendrix.exe /SILENT
// under Wine (tests/cli/SharedCasesTest.cpp) and the native fendrix
// (tests/native-cli/SharedCasesTest.cpp). One table, two runners: each
// runner builds the scratch directory below, writes the case's command line
// in its own program's syntax and checks the code and what was left.
//
// Every case starts from this scratch directory:
//   src.bin        "source bytes" (12 bytes)
//   k2.bin         2000 bytes: 1000 parts of 2 bytes, one more than a set holds
//   k1998.bin      1998 bytes: 999 full parts of 2 bytes, and the empty part
//                  that follows a full one is the 1000th (as it always was:
//                  the set joins)
//   tree/inner.txt "inner"
//   out/           empty
//   not-a-dir.txt  a file
//   set/           the parts of a set as the Set column says
// Paths in the table separate with '/'; a runner spells them its own way.
#pragma once

#include <cstddef>

enum class TCaseJob { Split, Join, Verify };

// set/ before the run. Good: the program under test split src.bin into it
// with parts of 5 bytes (src.bin.001-003, .h001, .sfv).
enum class TCaseSet { None, Good, Part2Missing, Part1Damaged, HeaderGone, Hostile };

constexpr int NotApplicable = -1;

struct TSharedCase {
    const char* Name;
    TCaseJob Job;
    TCaseSet Set;
    // Relative paths; Output nullptr when none is given.
    const char* Source;
    const char* Output;
    // Decimal bytes; nullptr for the default size.
    const char* Size;
    bool NoHeader;
    // For TCaseSet::Hostile: the entries of set/evil.h001 (whose data part
    // set/evil.001 holds "abcde"), without magic and closing TAB.
    const char* HeaderEntries;
    // The exit code of each program; NotApplicable where the case does not
    // apply to it.
    int WindowsCode;
    int NativeCode;
    // After a run that ends with a nonzero code, out/ is still empty.
    bool RefusalLeavesOutEmpty;
    // After a run that ends with 0, out/ holds this file with src.bin's bytes.
    const char* JoinedFile;
};

inline const TSharedCase SharedCases[] = {
    {"split: missing source", TCaseJob::Split, TCaseSet::None, "missing.bin", "out", nullptr, false, nullptr, 1, 1,
     true, nullptr},
    {"split: missing output directory", TCaseJob::Split, TCaseSet::None, "src.bin", "out/nowhere", nullptr, false,
     nullptr, 2, 2, true, nullptr},
    // The native program takes a missing operand for a usage error.
    {"split: no output directory given", TCaseJob::Split, TCaseSet::None, "src.bin", nullptr, nullptr, false, nullptr,
     2, 12, true, nullptr},
    {"split: output directory is a file", TCaseJob::Split, TCaseSet::None, "src.bin", "not-a-dir.txt", nullptr, false,
     nullptr, 4, 4, true, nullptr},
    {"split: size 0", TCaseJob::Split, TCaseSet::None, "src.bin", "out", "0", false, nullptr, 6, 6, true, nullptr},
    {"split: negative size", TCaseJob::Split, TCaseSet::None, "src.bin", "out", "-5", false, nullptr, 6, 6, true,
     nullptr},
    {"split: later checks win over earlier ones", TCaseJob::Split, TCaseSet::None, "missing.bin", "not-a-dir.txt",
     "0", false, nullptr, 6, 6, true, nullptr},
    {"split: 1000 parts", TCaseJob::Split, TCaseSet::None, "k2.bin", "out", "2", false, nullptr, 7, 7, true, nullptr},
    {"split: 999 parts are the limit", TCaseJob::Split, TCaseSet::None, "k2.bin", "out", "3", false, nullptr, 0, 0,
     false, nullptr},
    {"split: 999 full parts and the empty one after them", TCaseJob::Split, TCaseSet::None, "k1998.bin", "out", "2",
     false, nullptr, 0, 0, false, nullptr},
    {"split: a file", TCaseJob::Split, TCaseSet::None, "src.bin", "out", "5", false, nullptr, 0, 0, false, nullptr},
    {"split: a tree", TCaseJob::Split, TCaseSet::None, "tree", "out", "3", false, nullptr, 0, 0, false, nullptr},
    {"join: a directory", TCaseJob::Join, TCaseSet::Good, "set", "out", nullptr, false, nullptr, 3, 3, true, nullptr},
    {"join: missing output directory", TCaseJob::Join, TCaseSet::Good, "set/src.bin.001", "out/nowhere", nullptr,
     false, nullptr, 2, 2, true, nullptr},
    {"join: output directory is a file", TCaseJob::Join, TCaseSet::Good, "set/src.bin.001", "not-a-dir.txt", nullptr,
     false, nullptr, 4, 4, true, nullptr},
    {"join: missing start file", TCaseJob::Join, TCaseSet::Good, "set/other.001", "out", nullptr, false, nullptr, 1, 1,
     true, nullptr},
    {"join: from the header", TCaseJob::Join, TCaseSet::Good, "set/src.bin.h001", "out", nullptr, false, nullptr, 0, 0,
     false, "src.bin"},
    {"join: from the last part", TCaseJob::Join, TCaseSet::Good, "set/src.bin.003", "out", nullptr, false, nullptr, 0,
     0, false, "src.bin"},
    {"join: a part missing", TCaseJob::Join, TCaseSet::Part2Missing, "set/src.bin.001", "out", nullptr, false, nullptr,
     1, 1, false, nullptr},
    {"join: a damaged part", TCaseJob::Join, TCaseSet::Part1Damaged, "set/src.bin.003", "out", nullptr, false, nullptr,
     13, 13, false, nullptr},
    {"join: no header, numbered parts", TCaseJob::Join, TCaseSet::HeaderGone, "set/src.bin.002", "out", nullptr, true,
     nullptr, 0, 0, false, "src.bin"},
    {"join: header gone, header expected", TCaseJob::Join, TCaseSet::HeaderGone, "set/src.bin.002", "out", nullptr,
     false, nullptr, 1, 1, true, nullptr},
    {"verify: a good set", TCaseJob::Verify, TCaseSet::Good, "set/src.bin.002", nullptr, nullptr, false, nullptr, 0, 0,
     false, nullptr},
    {"verify: a damaged part", TCaseJob::Verify, TCaseSet::Part1Damaged, "set/src.bin.002", nullptr, nullptr, false,
     nullptr, 13, 13, false, nullptr},
    {"verify: a part missing", TCaseJob::Verify, TCaseSet::Part2Missing, "set/src.bin.001", nullptr, nullptr, false,
     nullptr, 1, 1, false, nullptr},
    {"verify: a directory", TCaseJob::Verify, TCaseSet::Good, "set", nullptr, nullptr, false, nullptr, 3, 3, false,
     nullptr},
    {"verify: missing start file", TCaseJob::Verify, TCaseSet::Good, "set/missing.001", nullptr, nullptr, false,
     nullptr, 1, 1, false, nullptr},
    // Headers can come from anywhere: what would leave the output directory
    // is refused by both; what only Windows cannot hold the native join
    // restores.
    {"hostile header: parent directory", TCaseJob::Join, TCaseSet::Hostile, "set/evil.001", "out", nullptr, false,
     "..\\escape.txt\tF\t5\t20200101000000000\t", 8, 8, true, nullptr},
    {"hostile header: parent directory inside", TCaseJob::Join, TCaseSet::Hostile, "set/evil.001", "out", nullptr,
     false, "a\\..\\..\\escape.txt\tF\t5\t20200101000000000\t", 8, 8, true, nullptr},
    {"hostile header: absolute name", TCaseJob::Join, TCaseSet::Hostile, "set/evil.001", "out", nullptr, false,
     "\\tmp\\owned\tF\t5\t20200101000000000\t", 8, 8, true, nullptr},
    {"hostile header: empty component", TCaseJob::Join, TCaseSet::Hostile, "set/evil.001", "out", nullptr, false,
     "a\\\\b\tF\t5\t20200101000000000\t", 8, 8, true, nullptr},
    {"hostile header: control character", TCaseJob::Join, TCaseSet::Hostile, "set/evil.001", "out", nullptr, false,
     "a\x01" "b\tF\t5\t20200101000000000\t", 8, 8, true, nullptr},
    {"hostile header: slash in a name", TCaseJob::Join, TCaseSet::Hostile, "set/evil.001", "out", nullptr, false,
     "a/b\tF\t5\t20200101000000000\t", 8, 8, true, nullptr},
    {"hostile header: negative size", TCaseJob::Join, TCaseSet::Hostile, "set/evil.001", "out", nullptr, false,
     "neg\tF\t-5\t20200101000000000\t", 8, 8, true, nullptr},
    {"hostile header: unknown kind", TCaseJob::Join, TCaseSet::Hostile, "set/evil.001", "out", nullptr, false,
     "x\tL\t5\t20200101000000000\t", 8, 8, true, nullptr},
    {"hostile header: one path twice", TCaseJob::Join, TCaseSet::Hostile, "set/evil.001", "out", nullptr, false,
     "x\tF\t2\t20200101000000000\tx\tF\t3\t20200101000000000\t", 8, 8, true, nullptr},
    {"header name with a drive", TCaseJob::Join, TCaseSet::Hostile, "set/evil.001", "out", nullptr, false,
     "C:evil\tF\t5\t20200101000000000\t", 8, 0, true, nullptr},
    {"header name of a device", TCaseJob::Join, TCaseSet::Hostile, "set/evil.001", "out", nullptr, false,
     "NUL.txt\tF\t5\t20200101000000000\t", 8, 0, true, nullptr},
    {"header name with a trailing dot", TCaseJob::Join, TCaseSet::Hostile, "set/evil.001", "out", nullptr, false,
     "dot.\tF\t5\t20200101000000000\t", 8, 0, true, nullptr},
    {"header names that differ in case", TCaseJob::Join, TCaseSet::Hostile, "set/evil.001", "out", nullptr, false,
     "x\tF\t2\t20200101000000000\tX\tF\t3\t20200101000000000\t", 8, 0, true, nullptr},
};

constexpr size_t SharedCaseCount = sizeof(SharedCases) / sizeof(SharedCases[0]);
