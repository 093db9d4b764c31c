// A job answered through a dialogue that is neither the window nor nobody:
// a person scripted here, on Linux, where no message box exists. The join's
// loops must ask it what they ask the window and act on its answers alone.
#include "engine/JobDialogue.h"
#include "engine/UnitFendrix.h"
#include "support/NativeFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using namespace native_files;

namespace {

class TScriptedPerson : public TSilentDialogue {
public:
    bool Attended() const override { return true; }
    bool Confirm(TQuestion question, const std::string&) override {
        Heard.push_back(question == TQuestion::Start ? "start?" : question == TQuestion::Overwrite ? "overwrite?"
                                                                                                : "rebuild?");
        return question == TQuestion::Start ? StartAnswer : false;
    }
    void Notify(TNotice notice, const std::string&) override {
        Heard.push_back(notice == TNotice::Error ? "error" : notice == TNotice::Warning ? "warning" : "information");
    }
    // As the open-file dialog, which returns only a file of that name: the
    // folder among Folders that holds it.
    bool ChooseFile(std::string& dir, const std::string& name) override {
        Heard.push_back("choose " + name);
        for (const std::string& folder : Folders) {
            if (std::filesystem::exists(std::filesystem::path(folder) / name)) {
                dir = folder;
                return true;
            }
        }
        return false;
    }

    bool StartAnswer = true;
    std::vector<std::string> Folders;
    std::vector<std::string> Heard;
};

}  // namespace

TEST(Dialogue, TheJoinAsksTheDialogueItIsGiven) {
    struct TRow {
        const char* Label;
        bool Start;
        bool PartElsewhere;  // part 002 moved into another folder
        bool ChoosesIt;
        uint8_t Code;
        std::vector<std::string> Heard;
    } rows[] = {
        {"told no at the start", false, false, false, rcCancelled, {"start?"}},
        {"a whole set", true, false, false, rcOk, {"start?"}},
        // Part 003 is then looked for in part 002's folder, as on diskettes.
        {"the next disk chosen from another folder", true, true, true, rcOk,
         {"start?", "information", "choose f.bin.002", "information", "choose f.bin.003"}},
        {"the next disk not chosen", true, true, false, rcCancelled,
         {"start?", "information", "choose f.bin.002", "warning"}},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        TScratch dir;
        const std::string bytes = Pattern(5000, 3);
        WriteBytes(dir / "f.bin", bytes);
        std::filesystem::create_directories(dir / "set");
        std::filesystem::create_directories(dir / "disk2");
        std::filesystem::create_directories(dir / "out");
        TFendrixStartParams split;
        split.SourcePath = (dir / "f.bin").string();
        split.OutputDir = (dir / "set").string();
        split.Size = 2000;
        split.Silent = true;
        ASSERT_EQ(rcOk, TFendrix().Execute(split));
        if (row.PartElsewhere)
            std::filesystem::rename(dir / "set" / "f.bin.002", dir / "disk2" / "f.bin.002");

        TScriptedPerson person;
        person.StartAnswer = row.Start;
        if (row.ChoosesIt)
            person.Folders = {(dir / "disk2").string(), (dir / "set").string()};
        TFendrixStartParams join;
        join.SourcePath = (dir / "set" / "f.bin.001").string();
        join.OutputDir = (dir / "out").string();
        join.Unsplit = true;
        TFendrix engine;
        engine.SetDialogue(&person);
        EXPECT_EQ(row.Code, engine.Execute(join));
        EXPECT_EQ(row.Heard, person.Heard);
        EXPECT_EQ(row.Code == rcOk, ReadBytes(dir / "out" / "f.bin") == bytes);
    }
}
