// A set with a parity file met by a join in the window: when no copy of a
// missing or damaged part is found (the browse dialog is cancelled), the
// join offers to rebuild it from the others and goes on; a No ends the job
// as before. The split's report tells that the set survives one lost volume.
#include "engine/UnitFendrix.h"
#include "foundation/UnitLanguage.h"
#include "support/InProcessJob.h"
#include "support/ScriptedUser.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

void MakeTreeSet(const TScratchDir& dir, bool parity, TScriptedUser& user) {
    MakeDirectory(dir / "src");
    MakeDirectory(dir / "src\\sub");
    WritePatternFile(dir / "src\\a.bin", 6300, 1);
    WritePatternFile(dir / "src\\sub\\b.bin", 150, 2);
    WritePatternFile(dir / "src\\z.bin", 5000, 5);
    SetLastWriteTimeOf(dir / "src\\a.bin", 130000000000000000ull);
    MakeDirectory(dir / "parts");
    MakeDirectory(dir / "out");
    TJobRequest split;
    split.Source = dir / "src";
    split.OutputDir = dir / "parts";
    split.Size = 1000;
    split.Silent = false;
    split.Parity = parity;
    user.DefaultAnswer = idYes;
    ASSERT_EQ(rcOk, RunInProcess(split));
}

int BoxesWith(const TScriptedUser& user, const std::string& text) {
    int n = 0;
    for (const TMessageBoxRequest& box : user.Boxes)
        n += box.Text.find(text) != std::string::npos ? 1 : 0;
    return n;
}

}  // namespace

TEST(ParityWindow, TheReportTellsThatTheSetSurvivesOneLostVolume) {
    for (bool parity : {false, true}) {
        SCOPED_TRACE(parity ? "with /PARITY" : "without");
        TScratchDir dir("parityreport");
        TScriptedUser user;
        MakeTreeSet(dir, parity, user);
        EXPECT_EQ(parity ? 1 : 0, BoxesWith(user, LangText(msgSetSurvivesLoss, {"src.par"})));
        EXPECT_EQ(1, BoxesWith(user, LangText(msgSplitReport, {"12", "1"}))) << "the report itself is unchanged";
        EXPECT_EQ(parity, FileExists(dir / "parts\\src.par"));
    }
}

TEST(ParityWindow, ACancelledSearchOffersTheRebuild) {
    struct TRow {
        const char* Label;
        const char* Part;
        bool Damage;
        bool Parity;
        int RebuildAnswer;
        uint8_t Result;
    } rows[] = {
        {"a part missing, rebuilt", "src.004", false, true, idYes, rcOk},
        {"the last part missing, rebuilt", "src.012", false, true, idYes, rcOk},
        {"the header file missing, rebuilt", "src.h001", false, true, idYes, rcOk},
        {"a part damaged, rebuilt", "src.007", true, true, idYes, rcOk},
        {"a part missing, the rebuild declined", "src.004", false, true, idNo, rcCancelled},
        {"a part damaged, the rebuild declined", "src.007", true, true, idNo, rcCancelled},
        {"a part missing, no parity file", "src.004", false, false, idYes, rcCancelled},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        TScratchDir dir("paritywindow");
        {
            TScriptedUser splitter;
            MakeTreeSet(dir, row.Parity, splitter);
        }
        ASSERT_TRUE(FileExists(dir / "parts\\src.012"));
        ASSERT_FALSE(FileExists(dir / "parts\\src.013"));
        const std::string part = dir / ("parts\\" + std::string(row.Part));
        if (row.Damage) {
            std::string bytes = ReadFileBytes(part);
            bytes[100] = static_cast<char>(bytes[100] ^ 0x5A);
            WriteFileBytes(part, bytes);
        } else {
            ASSERT_TRUE(DeleteFileA(part.c_str()));
        }
        const std::string question = LangText(msgRebuildFromParity, {row.Part});

        TScriptedUser user;
        user.DefaultAnswer = idYes;
        user.Picks = {""};
        const std::string start = row.Part == std::string("src.h001") ? "parts\\src.sfv" : "parts\\src.001";
        // The join's questions in order: go ahead, the part is required (or
        // damaged), then the offer.
        user.Answers = {idYes, idOk, row.RebuildAnswer};
        EXPECT_EQ(row.Result, RunJoinInProcess(dir / start, dir / "out", false));

        ASSERT_EQ(1u, user.Dialogs.size()) << "the browse dialog comes first";
        EXPECT_EQ(row.Parity ? 1 : 0, BoxesWith(user, question));
        if (row.Parity && user.Boxes.size() >= 3)
            EXPECT_EQ(question, user.Boxes[2].Text) << "offered after the search is cancelled";
        if (row.Result != rcOk)
            continue;
        for (const char* name : {"a.bin", "sub\\b.bin", "z.bin"}) {
            SCOPED_TRACE(name);
            EXPECT_TRUE(ReadFileBytes(dir / ("src\\" + std::string(name))) ==
                        ReadFileBytes(dir / ("out\\src\\" + std::string(name))));
            EXPECT_EQ(LastWriteTimeOf(dir / ("src\\" + std::string(name))) / 10000,
                      LastWriteTimeOf(dir / ("out\\src\\" + std::string(name))) / 10000);
        }
        EXPECT_EQ(row.Damage, FileExists(part)) << "nothing is written into the set";
    }
}
