// The shared silent-mode cases (tests/shared/SilentCases.h) run against
// Fendrix.exe; the native program runs the same table.
#include "shared/SilentCaseSteps.h"
#include "support/Processes.h"
#include "support/TestFiles.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

std::string Backslashed(std::string path) {
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

struct TWineFiles {
    TScratchDir& Dir;
    std::string Path(const std::string& rel) const { return Dir / Backslashed(rel); }
    void Write(const std::string& rel, const std::string& bytes) { WriteFileBytes(Path(rel), bytes); }
    std::string Read(const std::string& rel) const { return ReadFileBytes(Path(rel)); }
    void Remove(const std::string& rel) { DeleteFileA(Path(rel).c_str()); }
    void MakeDir(const std::string& rel) { MakeDirectory(Path(rel)); }
    bool Exists(const std::string& rel) const { return FileExists(Path(rel)); }
    int Count(const std::string& rel) const { return CountEntries(Path(rel)); }
    int SplitForSet(const std::string& source, const std::string& out, int size) {
        return RunFendrix("/SILENT " + source + " " + out + " /SIZE" + std::to_string(size), Dir.Path());
    }
};

std::string CommandLine(const TSharedCase& c) {
    std::string line = "/SILENT " + Quoted(Backslashed(c.Source));
    if (c.Output)
        line += " " + Quoted(Backslashed(c.Output));
    if (c.Job == TCaseJob::Join)
        line += " /UNSPLIT";
    if (c.Job == TCaseJob::Verify)
        line += " /VERIFY";
    if (c.NoHeader)
        line += " /NOHEADER";
    if (c.Size)
        line += std::string(" /SIZE") + c.Size;
    return line;
}

TEST(SharedSilentCases, WindowsProgram) {
    int run = 0;
    for (const TSharedCase& c : SharedCases) {
        if (c.WindowsCode == NotApplicable)
            continue;
        SCOPED_TRACE(c.Name);
        TScratchDir dir("shared");
        TWineFiles files{dir};
        PrepareSharedCase(c, files);
        const std::string line = CommandLine(c);
        SCOPED_TRACE("Fendrix.exe " + line);
        CheckSharedCase(c, c.WindowsCode, RunFendrix(line, dir.Path()), files);
        ++run;
    }
    EXPECT_GT(run, 30);
}

}  // namespace
