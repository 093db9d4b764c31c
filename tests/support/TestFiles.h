// Real files for the tests under Wine: a scratch directory per test, and
// small helpers to write, read and inspect files through the Win32 API.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A fresh directory below the temporary directory, removed with everything
// in it when the object goes.
class TScratchDir {
public:
    explicit TScratchDir(const std::string& tag = "t");
    ~TScratchDir();
    TScratchDir(const TScratchDir&) = delete;
    TScratchDir& operator=(const TScratchDir&) = delete;

    const std::string& Path() const { return Dir; }
    // Path of a name below the scratch directory.
    std::string operator/(const std::string& name) const { return Dir + "\\" + name; }

private:
    std::string Dir;
};

void WriteFileBytes(const std::string& path, const std::string& bytes);
// A file of size bytes whose content depends on seed and position, so that
// misplaced bytes are noticed.
void WritePatternFile(const std::string& path, int64_t size, uint32_t seed = 1);
std::string PatternBytes(int64_t size, uint32_t seed = 1);
std::string ReadFileBytes(const std::string& path);
// Damages one byte of a file in place (XOR 0x5A); a byte past the file's
// end fails the test.
void FlipByte(const std::string& path, int64_t at);
bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
void MakeDirectory(const std::string& path);
int64_t FileSizeOf(const std::string& path);
uint64_t LastWriteTimeOf(const std::string& path);
void SetLastWriteTimeOf(const std::string& path, uint64_t fileTime);
void RemoveTree(const std::string& path);
// The names directly in a directory, "." and ".." left out, in the order the
// system lists them; FileNamesIn leaves directories out too.
std::vector<std::string> EntryNamesIn(const std::string& dir);
std::vector<std::string> FileNamesIn(const std::string& dir);
// Number of entries directly in a directory ("." and ".." not counted).
int CountEntries(const std::string& dir);
// Handles the process holds open; a test compares it before and after.
uint32_t OpenHandleCount();
