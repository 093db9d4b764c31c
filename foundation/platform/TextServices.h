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
// reads batch files in (that of the system's locale: the process's own OEM
// code page is UTF-8 where the program runs in UTF-8, which the interpreter
// does not read). False when a character has no exact form there.
bool OsTextToOemExact(const std::string& text, std::string& oem);
// The same where the text is known to fit; a character that does not
// becomes '?', never a look-alike.
std::string OsTextToOemCodePage(const std::string& text);

// The program's text is in the process code page: UTF-8 where the system
// honours the program's manifest, the system's ANSI code page elsewhere.
// Set headers store names in the legacy code page, the default ANSI code
// page of the system's locale (1252 on a Western system), or in UTF-8. Every
// conversion is exact or fails: no look-alike ever stands in for a character
// (a best-fit FULLWIDTH SOLIDUS would become a path separator).
bool OsTextToLegacy(const std::string& text, std::string& legacy);
bool OsLegacyToText(const std::string& legacy, std::string& text);
bool OsTextToUtf8(const std::string& text, std::string& utf8);
// utf8 must be valid UTF-8; fails where the process code page lacks one of
// its characters.
bool OsUtf8ToText(const std::string& utf8, std::string& text);
// Text kept in code page 1252 (the catalogue's accented letters) in the
// process code page; a character the process code page lacks becomes '?'.
std::string OsTextFromCp1252(const std::string& text);

// File names as the system spells them and as the program holds them. On
// Windows the system's calls convert names themselves and these pass the
// text through; on POSIX names should be UTF-8, as the program's text is,
// and a name that is not is reported, never approximated.
enum class TNameFault : uint8_t { None, NotUtf8 };
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
