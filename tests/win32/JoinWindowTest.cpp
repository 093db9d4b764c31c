// Joins in window mode, in this process: a scripted person answers the
// message boxes and the open-file dialog, a fake window cancels; every case
// also checks that the job leaves no handle open.
#include "engine/JobWindow.h"
#include "engine/UnitFendrix.h"
#include "foundation/platform/Prompts.h"
#include "support/InProcessJob.h"
#include "support/JoinSets.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace {

constexpr uint32_t YesNoInformation = MB_YESNO | MB_ICONINFORMATION;
constexpr uint32_t OverwriteStyle = MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2;
const std::string Confirmation =
    "The parts will be rejoined. You can press the <ESC> key to interrupt the job. Do you want to continue?";

std::string PartRequired(const std::string& name) {
    return "The file \"" + name +
           "\" is required.\r\nPlease insert the next diskette and press OK. You can also press OK and browse for "
           "the file yourself.";
}

// Stands in for the person in front of the window for one job; records
// every box and dialog it is shown.
class TScriptedPerson {
public:
    TScriptedPerson() {
        SetMessageBoxResponder([this](const TMessageBoxRequest& r) {
            Boxes.push_back(r);
            if (Answer)
                return Answer(r);
            return (r.Style & MB_YESNO) ? IDYES : IDOK;
        });
        SetOpenFileResponder([this](TOpenFileRequest& r) {
            Dialogs.push_back(r);
            return Pick ? Pick(r) : false;
        });
    }
    ~TScriptedPerson() {
        SetMessageBoxResponder(nullptr);
        SetOpenFileResponder(nullptr);
    }

    std::function<int(const TMessageBoxRequest&)> Answer;
    std::function<bool(TOpenFileRequest&)> Pick;
    std::vector<TMessageBoxRequest> Boxes;
    std::vector<TOpenFileRequest> Dialogs;
};

// A window that counts the hooks and asks to cancel at a chosen pass.
class TFakeJobWindow : public TJobWindow {
public:
    bool CheckCancel(const std::string& caption) override {
        Captions.push_back(caption);
        return ++Passes == CancelAtPass;
    }
    void* WindowHandle() const override { return nullptr; }
    void SetProgressTotal(int64_t total) override { Totals.push_back(total); }
    void SetProgressPosition(int64_t position) override { LastPosition = position; }
    void SetBusyCursor() override { ++Busy; }
    void ClearBusyCursor() override { --Busy; }

    int CancelAtPass = -1;
    int Passes = 0;
    int Busy = 0;
    int64_t LastPosition = 0;
    std::vector<int64_t> Totals;
    std::vector<std::string> Captions;
};

// Three files: a (5 bytes), b (10 bytes), c (6 bytes), in parts of 8 bytes:
// 001 = a + 3 of b, 002 = 7 of b... so every part boundary falls inside a file.
const std::string Data = PatternBytes(21, 4);
std::string ThreeFilesHeader() {
    return HeaderTextOf({{"a", 'F', "5", "20050307140509120"},
                         {"b", 'F', "10", "20060101000000001"},
                         {"c", 'F', "6", "20070101000000002"}});
}

void WriteThreeFiles(const std::string& dir, const std::vector<size_t>& headerCuts = {}) {
    WritePartSet(dir, "x", {Data.substr(0, 8), Data.substr(8, 8), Data.substr(16)}, ThreeFilesHeader(), headerCuts);
}

uint8_t ExecuteJoin(const std::string& start, const std::string& outDir, bool noHeader) {
    return RunJoinInProcess(start, outDir, false, noHeader);
}

// Handles the system opens once on first use (the message texts of an
// error, the file APIs) must not count as a leak of the case under test:
// one good and one failing join come first.
void WarmUp() {
    static bool done = false;
    if (done)
        return;
    done = true;
    TScratchDir warm("warm");
    MakeDirectory(warm / "out");
    WriteThreeFiles(warm.Path());
    TScriptedPerson person;
    ExecuteJoin(warm / "x.001", warm / "out", false);
    MakeDirectory(warm / "out2");
    MakeDirectory(warm / "out2\\a");
    ExecuteJoin(warm / "x.001", warm / "out2", false);
}

// One join in window mode; it must leave as many handles open as it found.
uint8_t JoinInWindowMode(const std::string& start, const std::string& outDir, bool noHeader = false) {
    const uint32_t before = OpenHandleCount();
    const uint8_t result = ExecuteJoin(start, outDir, noHeader);
    EXPECT_EQ(before, OpenHandleCount()) << "handles left open by the job";
    return result;
}

void ExpectJoined(const std::string& out, const std::vector<std::string>& names) {
    struct {
        const char* Name;
        size_t From, Size;
        uint64_t Time;
    } files[] = {{"a", 0, 5, FileTimeAt(2005, 3, 7, 14, 5, 9, 120)},
                 {"b", 5, 10, FileTimeAt(2006, 1, 1, 0, 0, 0, 1)},
                 {"c", 15, 6, FileTimeAt(2007, 1, 1, 0, 0, 0, 2)}};
    for (const auto& f : files) {
        bool wanted = false;
        for (const std::string& n : names)
            wanted = wanted || n == f.Name;
        if (!wanted)
            continue;
        SCOPED_TRACE(f.Name);
        const std::string path = out + "\\" + f.Name;
        ASSERT_TRUE(FileExists(path));
        EXPECT_TRUE(ReadFileBytes(path) == Data.substr(f.From, f.Size));
        EXPECT_EQ(f.Time, LastWriteTimeOf(path));
    }
}

class JoinWindow : public ::testing::Test {
protected:
    void SetUp() override {
        WarmUp();
        MakeDirectory(Dir / "parts");
        MakeDirectory(Dir / "disk2");
        MakeDirectory(Dir / "out");
    }

    TScratchDir Dir{"win"};
};

TEST_F(JoinWindow, ConfirmationDecidesWhetherAnythingHappens) {
    struct {
        int Answer;
        uint8_t Result;
    } cases[] = {{IDNO, 11}, {IDYES, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Answer == IDYES ? "Yes" : "No");
        TScratchDir dir("confirm");
        MakeDirectory(dir / "out");
        WriteThreeFiles(dir.Path());
        TScriptedPerson person;
        person.Answer = [&](const TMessageBoxRequest&) { return c.Answer; };
        EXPECT_EQ(c.Result, JoinInWindowMode(dir / "x.002", dir / "out"));
        // A complete set in one directory needs no other question.
        ASSERT_EQ(1u, person.Boxes.size());
        EXPECT_EQ(Confirmation, person.Boxes[0].Text);
        EXPECT_EQ("Join", person.Boxes[0].Caption);
        EXPECT_EQ(YesNoInformation, person.Boxes[0].Style);
        EXPECT_TRUE(person.Dialogs.empty());
        if (c.Result == 0)
            ExpectJoined(dir / "out", {"a", "b", "c"});
        else
            EXPECT_EQ(0, CountEntries(dir / "out"));
    }
}

TEST_F(JoinWindow, MissingPartPickedInAnotherDirectory) {
    WriteThreeFiles(Dir / "parts");
    MoveFileA((Dir / "parts\\x.002").c_str(), (Dir / "disk2\\x.002").c_str());
    CopyFileA((Dir / "parts\\x.003").c_str(), (Dir / "disk2\\x.003").c_str(), FALSE);
    // A wrong x.003 stays behind: once the user has pointed at disk2, later
    // parts are looked for there first.
    WriteFileBytes(Dir / "parts\\x.003", "WRONG!");
    TScriptedPerson person;
    person.Pick = [&](TOpenFileRequest& r) {
        r.FileName = Dir / "disk2\\x.002";
        r.FileTitle = "x.002";
        return true;
    };
    EXPECT_EQ(0, JoinInWindowMode(Dir / "parts\\x.h001", Dir / "out"));
    ASSERT_EQ(2u, person.Boxes.size());
    EXPECT_EQ(PartRequired("x.002"), person.Boxes[1].Text);
    EXPECT_EQ("Join", person.Boxes[1].Caption);
    EXPECT_EQ(static_cast<uint32_t>(MB_OK | MB_ICONINFORMATION), person.Boxes[1].Style);
    ASSERT_EQ(1u, person.Dialogs.size());
    EXPECT_EQ(Dir / "parts\\x.002", person.Dialogs[0].FileName);
    EXPECT_EQ("", person.Dialogs[0].FileTitle);
    EXPECT_EQ(0x1804u, person.Dialogs[0].Flags);
    ExpectJoined(Dir / "out", {"a", "b", "c"});
}

TEST_F(JoinWindow, DialogAnswers) {
    struct TCase {
        const char* Why;
        std::vector<std::string> Picks;  // titles picked in turn; "" cancels
        uint8_t Result;
        size_t Dialogs;
    } cases[] = {
        {"a wrongly named file reopens the dialog", {"x.003", "x.002"}, 0, 2},
        {"the upper-case name is accepted", {"X.002"}, 0, 1},
        {"cancel gives up", {""}, 11, 1},
        {"wrong name, then cancel", {"x.001", ""}, 11, 2},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Why);
        TScratchDir dir("dlg");
        MakeDirectory(dir / "parts");
        MakeDirectory(dir / "disk2");
        MakeDirectory(dir / "out");
        WriteThreeFiles(dir / "parts");
        MoveFileA((dir / "parts\\x.002").c_str(), (dir / "disk2\\x.002").c_str());
        CopyFileA((dir / "parts\\x.003").c_str(), (dir / "disk2\\x.003").c_str(), FALSE);
        CopyFileA((dir / "parts\\x.001").c_str(), (dir / "disk2\\x.001").c_str(), FALSE);
        TScriptedPerson person;
        size_t pick = 0;
        person.Pick = [&](TOpenFileRequest& r) {
            const std::string title = pick < c.Picks.size() ? c.Picks[pick++] : "";
            if (title.empty())
                return false;
            r.FileName = dir / ("disk2\\" + title);
            r.FileTitle = title;
            return true;
        };
        EXPECT_EQ(c.Result, JoinInWindowMode(dir / "parts\\x.001", dir / "out"));
        EXPECT_EQ(c.Dialogs, person.Dialogs.size());
        // The dialog reopens without a message in between.
        ASSERT_GE(person.Boxes.size(), 2u);
        EXPECT_EQ(PartRequired("x.002"), person.Boxes[1].Text);
        if (c.Result == 0) {
            EXPECT_EQ(2u, person.Boxes.size());
            ExpectJoined(dir / "out", {"a", "b", "c"});
        } else {
            ASSERT_EQ(3u, person.Boxes.size());
            EXPECT_EQ("File \"x.002\" missed!", person.Boxes[2].Text);
            EXPECT_EQ(static_cast<uint32_t>(MB_OK | MB_ICONWARNING), person.Boxes[2].Style);
            // What was written before stays.
            ExpectJoined(dir / "out", {"a"});
            EXPECT_FALSE(FileExists(dir / "out\\c"));
        }
    }
}

TEST_F(JoinWindow, DisketteInsertedAfterTheMessage) {
    WriteThreeFiles(Dir / "parts");
    MoveFileA((Dir / "parts\\x.003").c_str(), (Dir / "disk2\\x.003").c_str());
    TScriptedPerson person;
    person.Answer = [&](const TMessageBoxRequest& r) {
        if (r.Text == PartRequired("x.003"))
            MoveFileA((Dir / "disk2\\x.003").c_str(), (Dir / "parts\\x.003").c_str());
        return (r.Style & MB_YESNO) ? IDYES : IDOK;
    };
    EXPECT_EQ(0, JoinInWindowMode(Dir / "parts\\x.001", Dir / "out"));
    EXPECT_EQ(2u, person.Boxes.size());
    EXPECT_TRUE(person.Dialogs.empty());
    ExpectJoined(Dir / "out", {"a", "b", "c"});
}

TEST_F(JoinWindow, MissingSecondHeaderFileIsAskedFor) {
    WriteThreeFiles(Dir / "parts", {30});
    MoveFileA((Dir / "parts\\x.h002").c_str(), (Dir / "disk2\\x.h002").c_str());
    TScriptedPerson person;
    EXPECT_EQ(11, JoinInWindowMode(Dir / "parts\\x.001", Dir / "out"));
    ASSERT_EQ(3u, person.Boxes.size());
    EXPECT_EQ(PartRequired("x.h002"), person.Boxes[1].Text);
    EXPECT_EQ("File \"x.h002\" missed!", person.Boxes[2].Text);
    ASSERT_EQ(1u, person.Dialogs.size());
    EXPECT_EQ(Dir / "parts\\x.h002", person.Dialogs[0].FileName);
    EXPECT_EQ(0, CountEntries(Dir / "out"));
}

TEST_F(JoinWindow, OverwriteQuestion) {
    struct TCase {
        const char* Why;
        std::vector<std::string> Existing;
        int Answer;
        uint8_t Result;
        std::vector<std::string> Rebuilt;  // files that hold the joined bytes at the end
        size_t Questions;
    } cases[] = {
        {"Yes answers for the rest of the job", {"a", "c"}, IDYES, 0, {"a", "b", "c"}, 1},
        {"No to the first file writes nothing", {"a", "c"}, IDNO, 11, {}, 1},
        {"No to a later file keeps what was written", {"c"}, IDNO, 11, {"a", "b"}, 1},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Why);
        TScratchDir dir("ovw");
        MakeDirectory(dir / "out");
        WriteThreeFiles(dir.Path());
        for (const std::string& name : c.Existing)
            WriteFileBytes(dir / ("out\\" + name), "old");
        TScriptedPerson person;
        person.Answer = [&](const TMessageBoxRequest& r) { return r.Text == Confirmation ? IDYES : c.Answer; };
        EXPECT_EQ(c.Result, JoinInWindowMode(dir / "x.001", dir / "out"));
        ASSERT_EQ(1 + c.Questions, person.Boxes.size());
        const std::string first = dir / ("out\\" + c.Existing[0]);
        EXPECT_EQ("File \"" + first + "\" already exists. Always overwrite existing files?", person.Boxes[1].Text);
        EXPECT_EQ(OverwriteStyle, person.Boxes[1].Style);
        EXPECT_EQ("Join", person.Boxes[1].Caption);
        ExpectJoined(dir / "out", c.Rebuilt);
        for (const std::string& name : c.Existing) {
            bool rebuilt = false;
            for (const std::string& r : c.Rebuilt)
                rebuilt = rebuilt || r == name;
            if (!rebuilt) {
                EXPECT_EQ("old", ReadFileBytes(dir / ("out\\" + name))) << name;
            }
        }
    }
}

TEST_F(JoinWindow, EscapeCancelsAfterTheCurrentPass) {
    // One file of three buffers' worth in one part: the copy takes several
    // passes, and the cancel at the first one leaves a started file.
    const int64_t size = 3 * 131072 + 5;
    const std::string bytes = PatternBytes(size, 8);
    WritePartSet(Dir / "parts", "big", {bytes}, HeaderTextOf({{"big", 'F', std::to_string(size)}}));
    TFakeJobWindow window;
    window.CancelAtPass = 1;
    JobWindow = &window;
    TScriptedPerson person;
    const uint8_t result = JoinInWindowMode(Dir / "parts\\big.001", Dir / "out");
    JobWindow = nullptr;
    EXPECT_EQ(11, result);
    EXPECT_EQ(1, window.Passes);
    EXPECT_EQ("Join", window.Captions.at(0));
    EXPECT_EQ(131072, window.LastPosition);
    EXPECT_EQ(0, window.Busy);
    ASSERT_FALSE(window.Totals.empty());
    EXPECT_EQ(size, window.Totals.front());
    EXPECT_EQ(0, window.Totals.back());
    // What was written stays.
    ASSERT_TRUE(FileExists(Dir / "out\\big"));
    EXPECT_EQ(131072, FileSizeOf(Dir / "out\\big"));
}

TEST_F(JoinWindow, FailuresShowOneErrorBoxOrNone) {
    struct TCase {
        const char* Why;
        std::function<void(const std::string&)> Prepare;
        uint8_t Result;
        bool ErrorBox;
    } cases[] = {
        {"existing directory where a file must go",
         [](const std::string& d) {
             WriteThreeFiles(d);
             MakeDirectory(d + "\\out\\b");
         },
         9, true},
        {"invalid header: the window shows the result text later",
         [](const std::string& d) { WritePartSet(d, "x", {Data}, HeaderTextOf({{"a", 'F', "5a"}})); }, 8, false},
        {"unsafe name", [](const std::string& d) { WritePartSet(d, "x", {Data}, HeaderTextOf({{"..\\a", 'F', "5"}})); },
         8, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Why);
        TScratchDir dir("fail");
        MakeDirectory(dir / "out");
        c.Prepare(dir.Path());
        TScriptedPerson person;
        EXPECT_EQ(c.Result, JoinInWindowMode(dir / "x.001", dir / "out"));
        ASSERT_EQ(c.ErrorBox ? 2u : 1u, person.Boxes.size());
        if (c.ErrorBox) {
            EXPECT_EQ(static_cast<uint32_t>(MB_OK | MB_ICONERROR), person.Boxes[1].Style);
            EXPECT_FALSE(person.Boxes[1].Text.empty());
            EXPECT_EQ("Join", person.Boxes[1].Caption);
        }
    }
}

TEST_F(JoinWindow, NoHeaderJoinAsksForNothingButTheConfirmation) {
    WriteFileBytes(Dir / "parts\\v.bin.001", Data.substr(0, 10));
    WriteFileBytes(Dir / "parts\\v.bin.002", Data.substr(10));
    TScriptedPerson person;
    EXPECT_EQ(0, JoinInWindowMode(Dir / "parts\\v.bin.002", Dir / "out", true));
    EXPECT_EQ(1u, person.Boxes.size());
    EXPECT_TRUE(ReadFileBytes(Dir / "out\\v.bin") == Data);
}

}  // namespace
