// Text and time services of the operating system that the pure code needs.
// Win32 builds take them from the system (win32/TextServices.cpp); the native
// build of the pure code has its own implementation (native/TextServices.cpp)
// that follows the same rules for code page 1252.
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
// UTC calendar form of a FILETIME and back; false where the system refuses.
bool OsFileTimeToSystemTime(const TFileTime& fileTime, TSystemTime& systemTime);
bool OsSystemTimeToFileTime(const TSystemTime& systemTime, TFileTime& fileTime);
