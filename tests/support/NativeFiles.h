// Real files for the native tests, of the engine and of the command line: a
// scratch directory per case, patterned bytes, and whole-file reads and
// writes.
#pragma once

#include "support/Noise.h"

#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace native_files {

namespace fs = std::filesystem;

// A fresh directory of its own for every case, removed afterwards with
// all it holds, also where a case took its permissions away.
class TScratch {
public:
    explicit TScratch(const char* prefix = "fendrix-native-") {
        std::string pattern = (fs::temp_directory_path() / (std::string(prefix) + "XXXXXX")).string();
        Path = mkdtemp(pattern.data());
    }
    ~TScratch() {
        std::error_code ignored;
        fs::permissions(Path, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(Path, ignored);
    }
    TScratch(const TScratch&) = delete;
    TScratch& operator=(const TScratch&) = delete;
    fs::path operator/(const std::string& name) const { return Path / name; }
    fs::path Path;
};

// Bytes that depend on seed and position, so that misplaced bytes show.
inline std::string Pattern(size_t size, uint32_t seed) {
    return NoiseBytes(size, seed);
}

inline void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// In one read: a byte at a time through stream iterators takes seconds for
// a few MiB in the sanitizer build.
inline std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    std::string bytes(in ? static_cast<size_t>(in.tellg()) : 0, '\0');
    in.seekg(0);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

}  // namespace native_files
