// The native command-line tests' scratch directory (the engine tests' own)
// with the file helpers that the shared cases ask for.
#pragma once

#include "NativeProcess.h"
#include "support/NativeFiles.h"

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

class TNativeScratch {
public:
    TNativeScratch() : Scratch("fendrix-cli-"), Dir(Scratch.Path.string()) {}

    std::string Path(const std::string& rel) const { return (fs::path(Dir) / rel).string(); }
    void Write(const std::string& rel, const std::string& bytes) { native_files::WriteBytes(Path(rel), bytes); }
    std::string Read(const std::string& rel) const { return native_files::ReadBytes(Path(rel)); }
    void Remove(const std::string& rel) { fs::remove(Path(rel)); }
    void MakeDir(const std::string& rel) { fs::create_directories(Path(rel)); }
    bool Exists(const std::string& rel) const { return fs::exists(Path(rel)); }
    int Count(const std::string& rel) const {
        int n = 0;
        for (const auto& entry : fs::directory_iterator(Path(rel))) {
            (void)entry;
            ++n;
        }
        return n;
    }
    int SplitForSet(const std::string& source, const std::string& out, int size) {
        return RunNative({"split", source, out, "--size", std::to_string(size)}, Dir).Code;
    }

private:
    native_files::TScratch Scratch;

public:
    // The scratch directory's path; made after it.
    std::string Dir;
};
