// Text and time services of the operating system. The Win32 build takes them
// from the system (win32/TextServices.cpp); POSIX builds have their own
// (posix/TextServices.cpp), which follows the same rules for code page 1252.
#pragma once

#include <cstdint>
#include <string>

// Same layout as the Win32 FILETIME: 100-nanosecond units since 1601-01-01 UTC.
struct TFileTime {
    uint32_t dwLowDateTime = 0;
    uint32_t dwHighDateTime = 0;
};

// Same fields as the Win32 SYSTEMTIME.
struct TSystemTime {
    uint16_t wYear = 0;
    uint16_t wMonth = 0;
    uint16_t wDayOfWeek = 0;
    uint16_t wDay = 0;
    uint16_t wHour = 0;
    uint16_t wMinute = 0;
    uint16_t wSecond = 0;
    uint16_t wMilliseconds = 0;
};

uint64_t FileTimeValue(const TFileTime& t);
TFileTime MakeFileTime(uint64_t value);

// The next character of an ANSI text (a double-byte character is one step).
const char* OsCharNext(const char* p);
// Upper-cases the text in place by the system's ANSI rules.
void OsCharUpper(std::string& text);
// The text in the system's OEM code page, the one its command interpreter
// reads batch files in.
std::string OsTextToOemCodePage(const std::string& text);
// UTC calendar form of a FILETIME and back; false where the system refuses.
bool OsFileTimeToSystemTime(const TFileTime& fileTime, TSystemTime& systemTime);
bool OsSystemTimeToFileTime(const TSystemTime& systemTime, TFileTime& fileTime);
