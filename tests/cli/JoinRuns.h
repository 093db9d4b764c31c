// Silent runs of the real program for the join tests: split a source into a
// directory, join a set into another, and compare what came back.
#pragma once

#include "support/JoinSets.h"
#include "support/Processes.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

inline int SplitSilently(const std::string& source, const std::string& partsDir, int64_t size) {
    return RunFendrix("/SILENT " + Quoted(source) + " " + Quoted(partsDir) + " /SIZE" + std::to_string(size));
}

inline int JoinSilently(const std::string& anyPart, const std::string& outDir, const std::string& extra = "") {
    return RunFendrix("/SILENT " + Quoted(anyPart) + " " + Quoted(outDir) + " /UNSPLIT" + extra);
}

// Every file and directory below original has its twin below rebuilt, and
// nothing else is there: files byte for byte and with the original's
// last-write time to the millisecond.
inline void ExpectSameTree(const std::string& original, const std::string& rebuilt) {
    SCOPED_TRACE("tree " + rebuilt);
    EXPECT_EQ(CountEntries(original), CountEntries(rebuilt));
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA((original + "\\*").c_str(), &data);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    do {
        const std::string name = data.cFileName;
        if (name == "." || name == "..")
            continue;
        const std::string from = original + "\\" + name;
        const std::string to = rebuilt + "\\" + name;
        SCOPED_TRACE(to);
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            ASSERT_TRUE(DirectoryExists(to));
            ExpectSameTree(from, to);
        } else {
            ASSERT_TRUE(FileExists(to));
            EXPECT_TRUE(ReadFileBytes(from) == ReadFileBytes(to)) << "contents differ";
            EXPECT_EQ(WholeMilliseconds(LastWriteTimeOf(from)), LastWriteTimeOf(to));
        }
    } while (FindNextFileA(h, &data));
    FindClose(h);
}

