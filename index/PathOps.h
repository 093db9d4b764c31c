// Operations on path texts, in one of two styles (see PathStyle.h). Without
// a style they read the Windows one, the form of every name a header stores.
// Positions are 1-based, 0 means none.
#pragma once

#include "foundation/platform/PathStyle.h"

#include <string>

bool IsSeparator(char c, TPathStyle style);
// Windows: a drive with a backslash after it, or a share; Posix: a leading
// slash.
bool IsAbsolutePath(const std::string& path, TPathStyle style);
inline bool IsAbsolutePath(const std::string& path) { return IsAbsolutePath(path, TPathStyle::Windows); }

// A Posix root keeps its slash: stripped, "/" would name no directory at all.
std::string StripTrailingBackslashes(const std::string& path, TPathStyle style);
inline std::string StripTrailingBackslashes(const std::string& path) { return StripTrailingBackslashes(path, TPathStyle::Windows); }
// Empty stays empty, so that appending a name to it gives a bare name. The
// separator added is always the backslash, which both styles read.
std::string AddTrailingBackslash(const std::string& path, TPathStyle style);
inline std::string AddTrailingBackslash(const std::string& path) { return AddTrailingBackslash(path, TPathStyle::Windows); }
// The path with every separator spelled the same, so that two spellings of
// one path compare equal: in the Posix style backslashes become slashes.
std::string UniformSeparators(const std::string& path, TPathStyle style);
inline std::string UniformSeparators(const std::string& path) { return UniformSeparators(path, TPathStyle::Windows); }
// Position of the last character of text that occurs in delimiters; 0 if none.
size_t LastDelimiterPos(const std::string& delimiters, const std::string& text);
std::string ParentPath(const std::string& path, TPathStyle style);
inline std::string ParentPath(const std::string& path) { return ParentPath(path, TPathStyle::Windows); }
std::string FileNamePart(const std::string& path, TPathStyle style);
inline std::string FileNamePart(const std::string& path) { return FileNamePart(path, TPathStyle::Windows); }
std::string RemoveExtension(const std::string& path, TPathStyle style);
inline std::string RemoveExtension(const std::string& path) { return RemoveExtension(path, TPathStyle::Windows); }
