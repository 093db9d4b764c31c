// fendrix list: what a set holds, read from its header files alone.
#include "NativeListing.h"
#include "Scratch.h"

#include <gtest/gtest.h>

namespace {

// Times as the tree had them, names with a directory, a space and a
// non-ASCII letter; the summary counts the set's files.
TEST(List, FileAndTreeSets) {
    TNativeScratch dir;
    dir.MakeDir("tree/sub dir");
    dir.Write("tree/sub dir/\xC3\xA9t\xC3\xA9.txt", "summer");
    dir.Write("tree/it's", std::string(3000, 'x'));
    dir.Write("one.bin", std::string(2500, 'y'));
    const TNativeRun prepare = RunShell(
        "touch -d '2020-01-02 03:04:05.678 UTC' 'tree/sub dir/\xC3\xA9t\xC3\xA9.txt' 'tree/sub dir' && "
        "touch -d '1999-12-31 23:59:59 UTC' tree/it*s tree one.bin && mkdir a b && "
        "\"$FENDRIX\" split tree a -s 1000 -r 1 && \"$FENDRIX\" split one.bin b -s 1000 --parity",
        dir.Dir);
    ASSERT_EQ(0, prepare.Code) << prepare.Err;
    struct TRow {
        const char* Part;
        const char* Listing;
    } rows[] = {
        {"a/tree.h001",
         "d 0 1999-12-31T23:59:59.000Z tree\n"
         "f 3000 1999-12-31T23:59:59.000Z tree/it's\n"
         "d 0 2020-01-02T03:04:05.678Z tree/sub dir\n"
         "f 6 2020-01-02T03:04:05.678Z tree/sub dir/\xC3\xA9t\xC3\xA9.txt\n"
         "4 data parts of 1000 bytes and 1 header files, 3006 bytes in all; sfv file: present; parity file: none; "
         "recovery files: present\n"},
        {"b/one.bin.002",
         "f 2500 1999-12-31T23:59:59.000Z one.bin\n"
         "3 data parts of 1000 bytes and 1 header files, 2500 bytes in all; sfv file: present; parity file: "
         "present; recovery files: none\n"},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Part);
        const TNativeRun run = RunNative({"list", row.Part}, dir.Dir);
        EXPECT_EQ(0, run.Code) << run.Err;
        EXPECT_EQ(row.Listing, run.Out);
    }
}

// A listing reads the header files and the sfv: their faults are its
// result codes, and the data parts are never needed.
TEST(List, HeaderFaults) {
    struct TRow {
        const char* Label;
        const char* Break;
        int Code;
    } rows[] = {
        {"data parts gone", "rm s/f.bin.00[1-3]", 0},
        {"header file missing", "rm s/f.bin.h001", 1},
        {"header damaged", "flip s/f.bin.h001 3", 13},
        {"header not a header", "sed -i 's/2500/25x0/' s/f.bin.h001 && rm s/f.bin.sfv", 8},
        {"a directory named", "true", 3},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        TNativeScratch dir;
        dir.Write("f.bin", std::string(2500, 'z'));
        const TNativeRun run = RunShell(std::string("mkdir s && \"$FENDRIX\" split f.bin s -s 1000 && ") + row.Break +
                                            " && \"$FENDRIX\" list " + (row.Code == 3 ? "s" : "s/f.bin.h001"),
                                        dir.Dir);
        EXPECT_EQ(row.Code, run.Code) << run.Err;
        EXPECT_EQ(row.Code == 0, run.Err.empty()) << run.Err;
        EXPECT_EQ(row.Code == 0, !run.Out.empty()) << run.Out;
    }
}

// A header that some other program wrote may hold anything: a listed name
// never moves the terminal's cursor or colours it.
TEST(List, NamesAreEscapedForTheTerminal) {
    struct TRow {
        const char* Header;
        const char* Shown;
    } rows[] = {
        {"a\\b", "a/b"},         {"tab\there", "tab\\there"}, {"line\nbreak", "line\\nbreak"},
        {"\x1b[31mred", "\\x1b[31mred"}, {"del\x7f", "del\\x7f"}, {"\xC3\xA9", "\xC3\xA9"},
    };
    for (const TRow& row : rows)
        EXPECT_EQ(row.Shown, ListedName(row.Header)) << row.Header;
}

}  // namespace
