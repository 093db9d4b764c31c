// The engine in a process that works in the system's ANSI code page (this
// test program has no UTF-8 manifest), as on a Windows older than 1903:
// names it cannot spell end the split before it writes, and a batch file is
// made only where every name fits the command interpreter's code page.
#include "engine/UnitFendrix.h"
#include "support/InProcessJob.h"
#include "support/ScriptedUser.h"
#include "support/TestFiles.h"
#include "support/WideFiles.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

uint8_t Split(const std::string& source, const std::string& outputDir, bool silent, bool batch) {
    TJobRequest request;
    request.Source = source;
    request.OutputDir = outputDir;
    request.Size = 1000;
    request.Silent = silent;
    request.Batch = batch;
    return RunInProcess(request);
}

}  // namespace

TEST(NamesOutsideTheCodePage, AnUnspellableNameEndsTheSplitBeforeItWrites) {
    ASSERT_NE(65001u, GetACP()) << "this program must run in an ANSI code page";
    struct TCase {
        const char* Label;
        std::string Utf8Name;
        bool Silent;
        // Empty: the split is expected to succeed.
        std::string Refused;
    };
    const TCase cases[] = {
        {"CJK file name, window", "\xE6\x97\xA5\xE6\x9C\xAC.txt", false, "?"},
        {"CJK file name, silent", "\xE6\x97\xA5\xE6\x9C\xAC.txt", true, "?"},
        {"Greek directory name, window", "\xCE\xB1\xCE\xB2\\x.txt", false, "?"},
        {"fullwidth solidus never becomes a slash", "a\xEF\xBC\x8F" "b.txt", false, "?"},
        {"cp1252 name goes through", "caf\xC3\xA9.txt", false, ""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Label);
        TScratchDir dir("unspell");
        MakeDirectory(dir / "src");
        MakeDirectory(dir / "out");
        WritePatternFile(dir / "src\\first.bin", 1500, 1);
        const size_t slash = c.Utf8Name.find('\\');
        if (slash != std::string::npos)
            WideMakeDirectory(dir / ("src\\" + c.Utf8Name.substr(0, slash)));
        WideWriteFile(dir / ("src\\" + c.Utf8Name), "data");

        TScriptedUser user;
        user.DefaultAnswer = idYes;
        const uint8_t result = Split(dir / "src", dir / "out", c.Silent, false);
        if (c.Refused.empty()) {
            EXPECT_EQ(rcOk, result);
            EXPECT_GT(CountEntries(dir / "out"), 0);
        } else {
            EXPECT_EQ(rcFileError, result);
            EXPECT_EQ(0, CountEntries(dir / "out")) << "a partial set was left";
            if (c.Silent) {
                EXPECT_TRUE(user.Boxes.empty());
            } else {
                ASSERT_EQ(1u, user.Boxes.size());
                const std::string& text = user.Boxes[0].Text;
                EXPECT_NE(std::string::npos, text.find("cannot be split")) << text;
                EXPECT_NE(std::string::npos, text.find(dir / "src\\")) << text;
                EXPECT_EQ(mbIconError | mbOk, user.Boxes[0].Style);
            }
        }
        WideRemoveTree(dir / "src");
    }
}

TEST(NamesOutsideTheCodePage, BatchFileOnlyWhereTheNameFitsTheOemCodePage) {
    struct TCase {
        const char* Label;
        std::string Name;
        bool Silent;
        bool Batch;
        bool Warned;
    };
    // Code page 1252 has the euro sign, OEM 437 and 850 do not.
    const TCase cases[] = {
        {"euro sign, window: warned, no batch file", "\x80uro.doc", false, false, true},
        {"euro sign, silent: no batch file, no box", "\x80uro.doc", true, false, false},
        {"e acute fits the OEM code page", "caf\xE9.doc", false, true, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Label);
        TScratchDir dir("oembatch");
        MakeDirectory(dir / "out");
        WritePatternFile(dir / c.Name, 2500, 3);
        TScriptedUser user;
        user.DefaultAnswer = idYes;
        EXPECT_EQ(rcOk, Split(dir / c.Name, dir / "out", c.Silent, true));
        const std::string stem = c.Name.substr(0, c.Name.size() - 4);
        EXPECT_EQ(c.Batch, FileExists(dir / ("out\\" + stem + ".bat")));
        EXPECT_TRUE(FileExists(dir / ("out\\" + c.Name + ".003")));
        EXPECT_TRUE(FileExists(dir / ("out\\" + c.Name + ".h001")));
        bool warned = false;
        for (const TMessageBoxRequest& box : user.Boxes) {
            if (box.Text.find("No batch file was made") != std::string::npos) {
                warned = true;
                EXPECT_NE(std::string::npos, box.Text.find(c.Name)) << box.Text;
                EXPECT_EQ(mbIconWarning | mbOk, box.Style);
            }
        }
        EXPECT_EQ(c.Warned, warned);
    }
}
