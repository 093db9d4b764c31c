#include "../TextServices.h"

#include <windows.h>

const char* OsCharNext(const char* p) {
    return CharNextA(p);
}

void OsCharUpper(std::string& text) {
    if (!text.empty())
        CharUpperBuffA(&text[0], static_cast<DWORD>(text.size()));
}

// The ANSI calls take and give names in the program's code page already.
TNameFault OsTextFromSystemName(const std::string& name, std::string& text) {
    text = name;
    return TNameFault::None;
}

std::string OsDisplayTextOfSystemName(const std::string& name) {
    return name;
}

std::string OsSystemNameFromText(const std::string& text) {
    return text;
}

std::string OsTextToOemCodePage(const std::string& text) {
    std::string oem = text;
    if (!oem.empty())
        CharToOemBuffA(text.c_str(), &oem[0], static_cast<DWORD>(oem.size()));
    return oem;
}

bool OsFileTimeToSystemTime(const TFileTime& fileTime, TSystemTime& systemTime) {
    FILETIME ft;
    ft.dwLowDateTime = fileTime.dwLowDateTime;
    ft.dwHighDateTime = fileTime.dwHighDateTime;
    SYSTEMTIME st;
    if (!FileTimeToSystemTime(&ft, &st))
        return false;
    systemTime.wYear = st.wYear;
    systemTime.wMonth = st.wMonth;
    systemTime.wDayOfWeek = st.wDayOfWeek;
    systemTime.wDay = st.wDay;
    systemTime.wHour = st.wHour;
    systemTime.wMinute = st.wMinute;
    systemTime.wSecond = st.wSecond;
    systemTime.wMilliseconds = st.wMilliseconds;
    return true;
}

bool OsSystemTimeToFileTime(const TSystemTime& systemTime, TFileTime& fileTime) {
    SYSTEMTIME st;
    st.wYear = systemTime.wYear;
    st.wMonth = systemTime.wMonth;
    st.wDayOfWeek = systemTime.wDayOfWeek;
    st.wDay = systemTime.wDay;
    st.wHour = systemTime.wHour;
    st.wMinute = systemTime.wMinute;
    st.wSecond = systemTime.wSecond;
    st.wMilliseconds = systemTime.wMilliseconds;
    FILETIME ft;
    if (!SystemTimeToFileTime(&st, &ft))
        return false;
    fileTime.dwLowDateTime = ft.dwLowDateTime;
    fileTime.dwHighDateTime = ft.dwHighDateTime;
    return true;
}
