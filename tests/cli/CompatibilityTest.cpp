// Sets are kept for years: a set whose names fit the legacy code page must be
// byte for byte what release 4.0.3 wrote. tests/fixtures/compat holds such
// sets, written by that release from the sources made below; the only file
// added since is the set's checksum file.
#include "support/Processes.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <set>
#include <string>

#ifndef FENDRIX_FIXTURES
#error "FENDRIX_FIXTURES names the folder of the stored sets"
#endif

namespace {

constexpr uint64_t BaseTime = 132000000000000000ull;

// Every directory holds one entry only, so that the listing order, which
// differs from file system to file system, cannot change the header.
void MakeTreeSource(const TScratchDir& dir) {
    MakeDirectory(dir / "src");
    MakeDirectory(dir / "src\\\xC4rger");
    MakeDirectory(dir / "src\\\xC4rger\\Gr\xF6\xDF" "e");
    WritePatternFile(dir / "src\\\xC4rger\\Gr\xF6\xDF" "e\\caf\xE9.bin", 3000, 5);
    SetLastWriteTimeOf(dir / "src\\\xC4rger\\Gr\xF6\xDF" "e\\caf\xE9.bin", BaseTime + 12345670000ull);
    SetLastWriteTimeOf(dir / "src\\\xC4rger\\Gr\xF6\xDF" "e", BaseTime + 2220000ull);
    SetLastWriteTimeOf(dir / "src\\\xC4rger", BaseTime + 1110000ull);
    SetLastWriteTimeOf(dir / "src", BaseTime);
}

void MakeFileSource(const TScratchDir& dir) {
    WritePatternFile(dir / "r\xE9sum\xE9 \xFC.doc", 2500, 6);
    SetLastWriteTimeOf(dir / "r\xE9sum\xE9 \xFC.doc", BaseTime + 98760000ull);
}

std::set<std::string> NamesIn(const std::string& dir) {
    const std::vector<std::string> names = EntryNamesIn(dir);
    return {names.begin(), names.end()};
}

struct TCompatCase {
    const char* Label;
    void (*MakeSource)(const TScratchDir&);
    const char* Source;
    const char* Switches;
    const char* Fixture;
    const char* Checksums;
};

const TCompatCase Cases[] = {
    {"tree with code page 1252 names", MakeTreeSource, "src", "/SIZE1000", "tree", "src.sfv"},
    {"file with a batch file", MakeFileSource, "r\xE9sum\xE9 \xFC.doc", "/SIZE1000 /BATCH", "file",
     "r\xE9sum\xE9 \xFC.doc.sfv"},
};

}  // namespace

TEST(Compatibility, SetsAreByteIdenticalToTheStoredOnes) {
    for (const TCompatCase& c : Cases) {
        SCOPED_TRACE(c.Label);
        TScratchDir dir("compat");
        c.MakeSource(dir);
        MakeDirectory(dir / "out");
        ASSERT_EQ(0, RunFendrix("/SILENT " + Quoted(dir / c.Source) + " " + Quoted(dir / "out") + " " + c.Switches));

        const std::string fixture = std::string(FENDRIX_FIXTURES) + "\\compat\\" + c.Fixture;
        const std::set<std::string> expected = NamesIn(fixture);
        ASSERT_FALSE(expected.empty()) << fixture;
        std::set<std::string> written = NamesIn(dir / "out");
        EXPECT_EQ(1u, written.erase(c.Checksums)) << "the checksum file is written too";
        EXPECT_EQ(expected, written);
        for (const std::string& name : expected) {
            SCOPED_TRACE(name);
            EXPECT_EQ(ReadFileBytes(fixture + "\\" + name), ReadFileBytes(dir / ("out\\" + name)));
        }
    }
}
