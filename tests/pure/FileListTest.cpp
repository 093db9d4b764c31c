// The list operations that the engines walk the index with.
#include "index/UnitFileInfo.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace {

void Fill(TFileInfos& list, const std::string& kinds, int64_t size = 10) {
    for (char k : kinds) {
        TFileInfo* entry = list.Add();
        entry->Name = std::to_string(list.Count());
        entry->Name.insert(entry->Name.begin(), k);
        entry->Kind = k == 'F' ? fkFile : fkDirectory;
        entry->Size = size;
    }
}

TEST(FileList, NewEntryIsEmptyAndOwned) {
    TFileInfos list;
    TFileInfo* entry = list.Add();
    EXPECT_EQ(&list, entry->Owner);
    EXPECT_EQ("", entry->Name);
    EXPECT_EQ(0, entry->Size);
    EXPECT_EQ(0u, FileTimeValue(entry->LastWriteTime));
    EXPECT_EQ(TEntryKind::None, entry->Kind);
    EXPECT_EQ(entry, list.GetItem(0));
}

TEST(FileList, GetItemOutsideTheListIsNone) {
    TFileInfos list;
    EXPECT_EQ(nullptr, list.GetItem(0));
    Fill(list, "DFF");
    const int32_t indexes[] = {-1, std::numeric_limits<int32_t>::min(), 3, 4, std::numeric_limits<int32_t>::max()};
    for (int32_t index : indexes) {
        SCOPED_TRACE(index);
        EXPECT_EQ(nullptr, list.GetItem(index));
    }
    EXPECT_EQ("F3", list.GetItem(2)->Name);
}

TEST(FileList, NextFileIndex) {
    struct TRow {
        const char* Kinds;
        int32_t Start;
        int32_t Expected;
    } rows[] = {
        {"", 0, -1},        {"DDD", 0, -1},     {"DDD", -5, -1},    {"DFDF", 0, 1},     {"DFDF", 1, 1},
        {"DFDF", 2, 3},     {"DFDF", 4, -1},    {"DFDF", 99, -1},   {"FD", -7, 0},
        {"DFDF", std::numeric_limits<int32_t>::min(), 1},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(std::string(row.Kinds) + " from " + std::to_string(row.Start));
        TFileInfos list;
        Fill(list, row.Kinds);
        EXPECT_EQ(row.Expected, list.NextFileIndex(row.Start));
    }
}

TEST(FileList, TotalSizeCountsDirectoriesAndClearKeepsBaseDir) {
    TFileInfos list;
    list.BaseDir = "D:\\data";
    EXPECT_EQ(0, list.TotalSize());
    Fill(list, "DFDF", 25);
    EXPECT_EQ(4, list.Count());
    EXPECT_EQ(100, list.TotalSize());
    list.GetItem(1)->Size = std::numeric_limits<int64_t>::max() - 75;
    EXPECT_EQ(std::numeric_limits<int64_t>::max(), list.TotalSize());
    list.Clear();
    EXPECT_EQ(0, list.Count());
    EXPECT_EQ(0, list.TotalSize());
    EXPECT_EQ("D:\\data", list.BaseDir);
    Fill(list, "F");
    EXPECT_EQ("F1", list.GetItem(0)->Name);
}

}  // namespace
