// A directory's entries come in the order the Windows program lists them
// (NTFS keeps its index by the upper-cased UTF-16 code units), so that both
// programs write the same header for the same tree. UTF-8 byte order would
// put the emoji after the fullwidth letter; UTF-16 puts it before.
#include "foundation/platform/FileSystem.h"
#include "support/NativeFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace native_files;

TEST(DirectoryOrder, AsWindowsListsIt) {
    const std::vector<std::string> expected = {
        "A.txt", "b.txt", "\u00e9.txt", "\u041a\u0438\u0440\u0430.txt", "\u65e5\u672c.txt",
        "\U0001F600.txt", "\uff41.txt",
    };
    TScratch dir;
    for (auto it = expected.rbegin(); it != expected.rend(); ++it)
        WriteBytes(dir / *it, "x");
    TDirectoryReader reader(dir.Path.string());
    ASSERT_TRUE(reader.IsOpen());
    std::vector<std::string> listed;
    TEntryInfo info;
    while (reader.Next(info))
        listed.push_back(info.Name);
    EXPECT_EQ(expected, listed);
}
