// The random round trip (tests/shared/RoundTrip.h) through Fendrix.exe as a
// process under Wine. Every process start costs a tenth of a second or so:
// fewer rounds than natively, each with more damaged copies of its set.
#include "shared/RoundTrip.h"
#include "support/Processes.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

namespace {

class TWineHost {
public:
    std::string Program() {
        if (ProgramBytes.empty())
            ProgramBytes = ReadFileBytes(FendrixExe());
        return ProgramBytes;
    }
    void Fresh() {
        RemoveTree(P(""));
        MakeDirectory(P(""));
    }
    std::string P(const std::string& rel) const {
        std::string path = Dir / (rel.empty() ? "round" : "round\\" + rel);
        std::replace(path.begin(), path.end(), '/', '\\');
        return path;
    }
    void Write(const std::string& rel, const std::string& bytes) { WriteFileBytes(P(rel), bytes); }
    std::string Read(const std::string& rel) const { return ReadFileBytes(P(rel)); }
    void Remove(const std::string& rel) { DeleteFileA(P(rel).c_str()); }
    void MakeDir(const std::string& rel) { MakeDirectory(P(rel)); }
    bool Exists(const std::string& rel) const { return FileExists(P(rel)) || DirectoryExists(P(rel)); }
    bool IsDir(const std::string& rel) const { return DirectoryExists(P(rel)); }
    std::vector<std::string> Names(const std::string& rel) const { return EntryNamesIn(P(rel)); }
    void SetTime(const std::string& rel, uint64_t fileTime) { SetLastWriteTimeOf(P(rel), fileTime); }
    uint64_t Time(const std::string& rel) const { return LastWriteTimeOf(P(rel)); }

    int Split(const std::string& source, const std::string& out, int64_t size, const roundtrip::TPlan& plan) {
        return RunFendrix("/SILENT " + Quoted(P(source)) + " " + Quoted(P(out)) + " /SIZE" + std::to_string(size) +
                          (plan.Batch ? " /BATCH" : "") + (plan.Copy ? " /COPY" : "") +
                          (plan.Parity ? " /PARITY" : "") +
                          (plan.Recovery ? " /RECOVERY" + std::to_string(plan.Recovery) : ""));
    }
    int Verify(const std::string& anyFile, bool repair) {
        return RunFendrix("/SILENT " + Quoted(P(anyFile)) + " /VERIFY" + (repair ? " /REPAIR" : ""));
    }
    int Join(const std::string& anyFile, const std::string& out) {
        return RunFendrix("/SILENT " + Quoted(P(anyFile)) + " " + Quoted(P(out)) + " /UNSPLIT");
    }

private:
    TScratchDir Dir{"roundtrip"};
    std::string ProgramBytes;
};

TEST(RandomRoundTrip, WindowsProgram) {
    TWineHost host;
    roundtrip::RunRounds(host, {4 << 20, 200, 3, false}, 20);
}

}  // namespace
