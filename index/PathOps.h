// Operations on Windows path texts. Only the backslash separates; a forward
// slash is an ordinary character. Positions are 1-based, 0 means none.
#pragma once

#include <string>

std::string StripTrailingBackslashes(const std::string& path);
// Empty stays empty, so that appending a name to it gives a bare name.
std::string AddTrailingBackslash(const std::string& path);
// Position of the last character of text that occurs in delimiters; 0 if none.
size_t LastDelimiterPos(const std::string& delimiters, const std::string& text);
std::string ParentPath(const std::string& path);
std::string FileNamePart(const std::string& path);
std::string RemoveExtension(const std::string& path);

constexpr int pkNotFound = 0;
constexpr int pkFile = 1;
constexpr int pkDirectory = 2;
constexpr int pkRoot = 3;

// Asks the file system: 0 not found (also for any path holding '/'), 1 file,
// 2 directory, 3 drive or share root.
int PathKind(const std::string& path);
// The absolute form of an existing file or directory; anything else is
// returned unchanged.
std::string ExpandPath(const std::string& path);
