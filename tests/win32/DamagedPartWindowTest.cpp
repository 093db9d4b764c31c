// A damaged part met by a join in the window: the person is told which part
// it is, picks another copy in the browse dialog, and the join goes on from
// that part's first byte, writing again what the damaged part had written.
#include "engine/UnitFendrix.h"
#include "foundation/UnitLanguage.h"
#include "support/InProcessJob.h"
#include "support/ScriptedUser.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

// A tree whose files cross part boundaries in every way: a file that ends
// inside a part, small files inside one part, an empty file, a file over
// several parts. Parts of 1000 bytes.
void MakeTree(const TScratchDir& dir) {
    MakeDirectory(dir / "src");
    MakeDirectory(dir / "src\\sub");
    WritePatternFile(dir / "src\\a.bin", 6300, 1);
    WritePatternFile(dir / "src\\sub\\b.bin", 150, 2);
    WritePatternFile(dir / "src\\sub\\c.bin", 0, 3);
    WritePatternFile(dir / "src\\sub\\d.bin", 400, 4);
    WritePatternFile(dir / "src\\z.bin", 12000, 5);
    SetLastWriteTimeOf(dir / "src\\a.bin", 130000000000000000ull);
    SetLastWriteTimeOf(dir / "src\\sub\\d.bin", 130000000120000000ull);
}

uint8_t Join(const std::string& start, const std::string& out) {
    TJobRequest request;
    request.Source = start;
    request.OutputDir = out;
    request.Join = true;
    request.Silent = false;
    return RunInProcess(request);
}

}  // namespace

TEST(DamagedPartWindow, AGoodCopyOfTheDamagedPartFinishesTheJoin) {
    struct TRow {
        const char* Part;
        size_t At;
    } rows[] = {
        {"src.001", 10},   // before any file is written
        {"src.007", 500},  // a.bin ends, b, c and d lie whole in it
        {"src.011", 3},    // inside z.bin
        {"src.019", 800},  // the last part, read to its end
        {"src.h001", 20},  // before anything is created
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Part);
        TScratchDir dir("damagedwin");
        MakeTree(dir);
        MakeDirectory(dir / "parts");
        MakeDirectory(dir / "copy");
        MakeDirectory(dir / "out");
        {
            TScriptedUser user;
            user.DefaultAnswer = idYes;
            ASSERT_EQ(rcOk, RunInProcess({dir / "src", dir / "parts", 1000, false, false}));
        }
        ASSERT_TRUE(FileExists(dir / "parts\\src.019"));
        ASSERT_FALSE(FileExists(dir / "parts\\src.020"));
        // A second copy of the set lies in another folder; once the person
        // picks a file there, the join reads on from that folder.
        for (const std::string& name : FileNamesIn(dir / "parts"))
            WriteFileBytes(dir / ("copy\\" + name), ReadFileBytes(dir / ("parts\\" + name)));
        FlipByte(dir / ("parts\\" + std::string(row.Part)), row.At);

        TScriptedUser user;
        user.DefaultAnswer = idYes;
        user.Picks = {dir / ("copy\\" + std::string(row.Part))};
        EXPECT_EQ(rcOk, Join(dir / "parts\\src.001", dir / "out"));

        const std::string damaged = LangText(msgPartDamaged, {row.Part});
        int told = 0;
        for (const TMessageBoxRequest& box : user.Boxes)
            told += box.Text == damaged ? 1 : 0;
        EXPECT_EQ(1, told) << "the damaged part is named once";
        ASSERT_EQ(1u, user.Dialogs.size());
        EXPECT_EQ(dir / ("parts\\" + std::string(row.Part)), user.Dialogs[0].FileName);
        for (const char* name : {"a.bin", "sub\\b.bin", "sub\\c.bin", "sub\\d.bin", "z.bin"}) {
            SCOPED_TRACE(name);
            EXPECT_EQ(ReadFileBytes(dir / ("src\\" + std::string(name))), ReadFileBytes(dir / ("out\\src\\" + std::string(name))));
            EXPECT_EQ(LastWriteTimeOf(dir / ("src\\" + std::string(name))) / 10000,
                      LastWriteTimeOf(dir / ("out\\src\\" + std::string(name))) / 10000);
        }
    }
}

TEST(DamagedPartWindow, CancellingTheDialogEndsWith11) {
    TScratchDir dir("damagedcancel");
    MakeTree(dir);
    MakeDirectory(dir / "parts");
    MakeDirectory(dir / "out");
    {
        TScriptedUser user;
        user.DefaultAnswer = idYes;
        ASSERT_EQ(rcOk, RunInProcess({dir / "src", dir / "parts", 1000, false, false}));
    }
    FlipByte(dir / "parts\\src.005", 1);
    TScriptedUser user;
    user.DefaultAnswer = idYes;
    user.Picks = {""};
    EXPECT_EQ(rcCancelled, Join(dir / "parts\\src.001", dir / "out"));
    EXPECT_EQ(1u, user.Dialogs.size());
}

// A part of the wrong length in a set without an sfv file: the window names
// the part and both lengths, and a good copy finishes the join. The copy of
// a set's only part is checked from where that part begins, however much of
// the first copy was read.
TEST(DamagedPartWindow, APartOfTheWrongLengthIsNamedAndAnotherCopyTaken) {
    struct TRow {
        const char* Label;
        const char* Part;
        // The bad copy: this many bytes cut off the end, or 'Z's put on.
        int CutBy;
        int AddedBytes;
        const char* Holds;
        const char* Needs;
        // The part holds the set's end: held to the header's total, not to
        // part 001.
        bool EndPart;
    } rows[] = {
        {"a middle part a byte short", "src.007", 1, 0, "999", "1000", false},
        {"a middle part a byte too long", "src.011", 0, 1, "1001", "1000", false},
        {"the last part a byte short", "src.019", 1, 0, "849", "850", true},
        {"the last part two bytes short", "src.019", 2, 0, "848", "850", true},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        TScratchDir dir("lengthwin");
        MakeTree(dir);
        MakeDirectory(dir / "parts");
        MakeDirectory(dir / "copy");
        MakeDirectory(dir / "out");
        {
            TScriptedUser user;
            user.DefaultAnswer = idYes;
            ASSERT_EQ(rcOk, RunInProcess({dir / "src", dir / "parts", 1000, false, false}));
        }
        ASSERT_TRUE(DeleteFileA((dir / "parts\\src.sfv").c_str()));
        for (const std::string& name : FileNamesIn(dir / "parts"))
            WriteFileBytes(dir / ("copy\\" + name), ReadFileBytes(dir / ("parts\\" + name)));
        const std::string bad = dir / ("parts\\" + std::string(row.Part));
        std::string bytes = ReadFileBytes(bad);
        bytes.resize(bytes.size() - static_cast<size_t>(row.CutBy));
        bytes += std::string(static_cast<size_t>(row.AddedBytes), 'Z');
        WriteFileBytes(bad, bytes);

        TScriptedUser user;
        user.DefaultAnswer = idYes;
        user.Picks = {dir / ("copy\\" + std::string(row.Part))};
        EXPECT_EQ(rcOk, Join(dir / "parts\\src.001", dir / "out"));

        const std::string told =
            LangText(row.EndPart ? msgEndPartLengthWrong : msgPartLengthWrong, {row.Part, row.Holds, row.Needs}) +
            "\r\n" + LangText(msgChooseAnotherCopy);
        int named = 0;
        for (const TMessageBoxRequest& box : user.Boxes)
            named += box.Text == told ? 1 : 0;
        EXPECT_EQ(1, named) << "the part and its lengths are named once";
        ASSERT_EQ(1u, user.Dialogs.size());
        for (const std::string& name : FileNamesIn(dir / "src"))
            EXPECT_EQ(ReadFileBytes(dir / ("src\\" + name)), ReadFileBytes(dir / ("out\\src\\" + name))) << name;
        EXPECT_EQ(ReadFileBytes(dir / "src\\z.bin"), ReadFileBytes(dir / "out\\src\\z.bin"));
    }
}
