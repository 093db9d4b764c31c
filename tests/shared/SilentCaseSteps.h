// The steps that both runners of the shared cases take, over the file
// helpers of their own system (TFiles: Path, Write, Read, Remove, MakeDir,
// Count) and a Run that starts their program.
#pragma once

#include "shared/SilentCases.h"

#include <gtest/gtest.h>

#include <string>

inline std::string HeaderName(int n) {
    const std::string digits = std::to_string(n);
    return "set/src.bin.h" + std::string(digits.size() < 3 ? 3 - digits.size() : 0, '0') + digits;
}

template <class TFiles>
void PrepareSharedCase(const TSharedCase& c, TFiles& files) {
    files.Write("src.bin", "source bytes");
    files.Write("k2.bin", std::string(2000, 'k'));
    files.Write("k1998.bin", std::string(1998, 'k'));
    files.MakeDir("tree");
    files.Write("tree/inner.txt", "inner");
    files.MakeDir("out");
    files.Write("not-a-dir.txt", "a file, not a directory");
    files.MakeDir("set");
    if (c.Set == TCaseSet::Hostile) {
        files.Write("set/evil.001", "abcde");
        files.Write("set/evil.h001", std::string("QoVa40\t") + c.HeaderEntries + "\t");
        return;
    }
    if (c.Set == TCaseSet::None)
        return;
    ASSERT_EQ(0, files.SplitForSet("src.bin", "set", 5)) << "the set the case starts from";
    switch (c.Set) {
    case TCaseSet::Part2Missing: files.Remove("set/src.bin.002"); break;
    case TCaseSet::Part1Damaged: files.Write("set/src.bin.001", "sourX"); break;
    case TCaseSet::HeaderGone:
        for (int n = 1; n < 100 && files.Exists(HeaderName(n)); ++n)
            files.Remove(HeaderName(n));
        files.Remove("set/src.bin.sfv");
        break;
    default: break;
    }
}

template <class TFiles>
void CheckSharedCase(const TSharedCase& c, int expected, int code, TFiles& files) {
    EXPECT_EQ(expected, code);
    // Nothing the case was given is lost.
    EXPECT_EQ("source bytes", files.Read("src.bin"));
    EXPECT_EQ("a file, not a directory", files.Read("not-a-dir.txt"));
    EXPECT_EQ("inner", files.Read("tree/inner.txt"));
    if (expected != 0 && c.RefusalLeavesOutEmpty)
        EXPECT_EQ(0, files.Count("out"));
    if (expected == 0 && c.JoinedFile)
        EXPECT_EQ("source bytes", files.Read(std::string("out/") + c.JoinedFile));
    if (c.Set == TCaseSet::Hostile) {
        EXPECT_FALSE(files.Exists("escape.txt"));
        EXPECT_EQ("abcde", files.Read("set/evil.001"));
    }
}
