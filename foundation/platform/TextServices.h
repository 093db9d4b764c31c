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
// File names as the system spells them and as the program holds them. The
// program's text is the ANSI code page (1252) on both systems: on Windows the
// system's ANSI calls convert names themselves and both functions pass the
// text through; on POSIX names are UTF-8 and these are the one place that
// converts them, so that a header written on Linux holds the same bytes as
// one written on Windows. A name that the program text cannot carry is
// reported, never approximated.
enum class TNameFault : uint8_t { None, NotUtf8, OutsideCodePage };
// The program text of a system name; on a fault, text is the name's bytes
// unchanged.
TNameFault OsTextFromSystemName(const std::string& name, std::string& text);
// A system name for a message: program text, with '?' for every character
// (or byte that is not UTF-8) that it cannot carry.
std::string OsDisplayTextOfSystemName(const std::string& name);
// The system's spelling of a name in program text.
std::string OsSystemNameFromText(const std::string& text);
// UTC calendar form of a FILETIME and back; false where the system refuses.
bool OsFileTimeToSystemTime(const TFileTime& fileTime, TSystemTime& systemTime);
bool OsSystemTimeToFileTime(const TSystemTime& systemTime, TFileTime& fileTime);
