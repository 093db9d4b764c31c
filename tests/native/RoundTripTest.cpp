// The random round trip (tests/shared/RoundTrip.h) through the engine in
// process over the POSIX layer, under the sanitizers: many rounds.
#include "shared/RoundTrip.h"
#include "support/NativeFiles.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <fstream>

namespace {

namespace fs = std::filesystem;
using namespace native_files;

constexpr uint64_t UnixEpochTicks = 116444736000000000ull;

class TNativeHost {
public:
    TNativeHost() { WriteBytes(Dir / "Fendrix.exe", Program()); }
    std::string Program() const { return NoiseBytes(5000, 77); }

    void Fresh() {
        fs::remove_all(Dir / "round");
        fs::create_directory(Dir / "round");
    }
    fs::path P(const std::string& rel) const { return Dir.Path / "round" / rel; }
    void Write(const std::string& rel, const std::string& bytes) { WriteBytes(P(rel), bytes); }
    // In one read: the stream iterator's byte at a time costs seconds a
    // round in a build without optimisation.
    std::string Read(const std::string& rel) const {
        std::ifstream in(P(rel), std::ios::binary | std::ios::ate);
        std::string bytes(static_cast<size_t>(std::max<std::streamoff>(in.tellg(), 0)), '\0');
        in.seekg(0).read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return bytes;
    }
    void Remove(const std::string& rel) { fs::remove(P(rel)); }
    void MakeDir(const std::string& rel) { fs::create_directory(P(rel)); }
    bool Exists(const std::string& rel) const { return fs::exists(P(rel)); }
    bool IsDir(const std::string& rel) const { return fs::is_directory(P(rel)); }
    std::vector<std::string> Names(const std::string& rel) const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(P(rel)))
            names.push_back(entry.path().filename().string());
        return names;
    }
    void SetTime(const std::string& rel, uint64_t fileTime) {
        const uint64_t ticks = fileTime - UnixEpochTicks;
        const timespec times[2] = {{0, UTIME_OMIT},
                                   {static_cast<time_t>(ticks / 10000000), static_cast<long>(ticks % 10000000) * 100}};
        ASSERT_EQ(0, utimensat(AT_FDCWD, P(rel).c_str(), times, 0)) << rel;
    }
    uint64_t Time(const std::string& rel) const {
        struct stat st;
        if (stat(P(rel).c_str(), &st) != 0)
            return 0;
        return UnixEpochTicks + static_cast<uint64_t>(st.st_mtim.tv_sec) * 10000000 +
               static_cast<uint64_t>(st.st_mtim.tv_nsec) / 100;
    }

    int Split(const std::string& source, const std::string& out, int64_t size, const roundtrip::TPlan& plan) {
        TFendrixStartParams p = Job(source);
        p.OutputDir = P(out).string();
        p.Size = size;
        p.Batch = plan.Batch;
        p.Copy = plan.Copy;
        p.ProgramToCopy = (Dir / "Fendrix.exe").string();
        p.Parity = plan.Parity;
        p.Recovery = plan.Recovery;
        return Run(p);
    }
    int Verify(const std::string& anyFile, bool repair) {
        TFendrixStartParams p = Job(anyFile);
        p.Verify = true;
        p.Repair = repair;
        return Run(p);
    }
    int Join(const std::string& anyFile, const std::string& out) {
        TFendrixStartParams p = Job(anyFile);
        p.OutputDir = P(out).string();
        p.Unsplit = true;
        return Run(p);
    }

private:
    TFendrixStartParams Job(const std::string& source) const {
        TFendrixStartParams p;
        p.SourcePath = P(source).string();
        p.Silent = true;
        return p;
    }
    static int Run(TFendrixStartParams& p) {
        TFendrix engine;
        return engine.Execute(p);
    }
    TScratch Dir;
};

TEST(RandomRoundTrip, NativeEngine) {
    TNativeHost host;
    roundtrip::RunRounds(host, {4 << 20, MaxParts, 2, true}, 20);
}

}  // namespace
