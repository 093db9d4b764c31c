// The files of a shared case (tests/shared) in a Windows scratch directory:
// the cases name them with '/', as the native tests do.
#pragma once

#include "support/TestFiles.h"

#include <windows.h>

#include <string>

struct TWineCaseFiles {
    TScratchDir& Dir;
    std::string Path(std::string rel) const {
        for (char& c : rel)
            if (c == '/')
                c = '\\';
        return Dir / rel;
    }
    void Write(const std::string& rel, const std::string& bytes) { WriteFileBytes(Path(rel), bytes); }
    std::string Read(const std::string& rel) const { return ReadFileBytes(Path(rel)); }
    void Remove(const std::string& rel) { DeleteFileA(Path(rel).c_str()); }
    bool Exists(const std::string& rel) const { return FileExists(Path(rel)); }
};
