// The path operations that ask the file system. Paths are in the style of
// the system the program runs on.
#pragma once

#include <string>

constexpr int pkNotFound = 0;
constexpr int pkFile = 1;
constexpr int pkDirectory = 2;
constexpr int pkRoot = 3;

// 0 not found, 1 file, 2 directory, 3 drive, share or file-system root. On
// Windows a path that holds '/' is not found: the program has never read a
// slash as a separator there.
int PathKind(const std::string& path);
// The absolute form of an existing file or directory; anything else is
// returned unchanged.
std::string ExpandPath(const std::string& path);
