// A scratch directory of the native tests and the file helpers that the
// shared cases ask for.
#pragma once

#include "NativeProcess.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

class TNativeScratch {
public:
    TNativeScratch() {
        std::string pattern = (fs::temp_directory_path() / "fendrix-cli-XXXXXX").string();
        Dir = mkdtemp(pattern.data());
    }
    ~TNativeScratch() {
        std::error_code ignored;
        fs::permissions(Dir, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(Dir, ignored);
    }
    TNativeScratch(const TNativeScratch&) = delete;
    TNativeScratch& operator=(const TNativeScratch&) = delete;

    std::string Path(const std::string& rel) const { return (fs::path(Dir) / rel).string(); }
    void Write(const std::string& rel, const std::string& bytes) {
        std::ofstream(Path(rel), std::ios::binary) << bytes;
    }
    std::string Read(const std::string& rel) const {
        std::ifstream in(Path(rel), std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
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

    std::string Dir;
};
