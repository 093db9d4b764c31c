#include "../TextServices.h"

#include "WidePaths.h"

#include <windows.h>

const char* OsCharNext(const char* p) {
    return CharNextA(p);
}

void OsCharUpper(std::string& text) {
    if (!text.empty())
        CharUpperBuffA(&text[0], static_cast<DWORD>(text.size()));
}

namespace {

// A code page of the system's default locale (not the process's: that one
// is UTF-8 under the program's manifest).
UINT SystemLocaleCodePage(LCTYPE type) {
    DWORD codePage = 0;
    if (GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, type | LOCALE_RETURN_NUMBER, reinterpret_cast<LPWSTR>(&codePage),
                       sizeof codePage / sizeof(WCHAR)) == 0 ||
        codePage == 0)
        return type == LOCALE_IDEFAULTCODEPAGE ? GetOEMCP() : GetACP();
    return codePage;
}

UINT LegacyCodePage() {
    static const UINT codePage = SystemLocaleCodePage(LOCALE_IDEFAULTANSICODEPAGE);
    return codePage;
}

UINT SystemOemCodePage() {
    static const UINT codePage = SystemLocaleCodePage(LOCALE_IDEFAULTCODEPAGE);
    return codePage;
}

bool IsAscii(const std::string& text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

bool Convert(UINT from, UINT to, const std::string& in, std::string& out) {
    if (IsAscii(in) || from == to) {
        // Every ANSI, OEM and UTF-8 code page keeps ASCII as it is, and a
        // text already in the target's code page needs nothing but a check.
        std::wstring wide;
        if (!IsAscii(in) && !CodePageToWide(from, in, wide))
            return false;
        out = in;
        return true;
    }
    std::wstring wide;
    return CodePageToWide(from, in, wide) && WideToCodePage(to, wide, out);
}

}  // namespace

bool OsTextToOemExact(const std::string& text, std::string& oem) {
    return Convert(GetACP(), SystemOemCodePage(), text, oem);
}

std::string OsTextToOemCodePage(const std::string& text) {
    std::string oem;
    if (OsTextToOemExact(text, oem))
        return oem;
    std::wstring wide;
    if (!ProcessTextToWide(text, wide))
        return std::string(text.size(), '?');
    const UINT codePage = SystemOemCodePage();
    const int length = static_cast<int>(wide.size());
    const int needed =
        WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.data(), length, nullptr, 0, "?", nullptr);
    if (needed <= 0)
        return std::string(text.size(), '?');
    oem.assign(static_cast<size_t>(needed), '\0');
    WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.data(), length, &oem[0], needed, "?", nullptr);
    return oem;
}

bool OsTextToLegacy(const std::string& text, std::string& legacy) {
    return Convert(GetACP(), LegacyCodePage(), text, legacy);
}

bool OsLegacyToText(const std::string& legacy, std::string& text) {
    return Convert(LegacyCodePage(), GetACP(), legacy, text);
}

bool OsTextToUtf8(const std::string& text, std::string& utf8) {
    return Convert(GetACP(), CP_UTF8, text, utf8);
}

bool OsUtf8ToText(const std::string& utf8, std::string& text) {
    return Convert(CP_UTF8, GetACP(), utf8, text);
}

std::string OsTextFromCp1252(const std::string& text) {
    if (IsAscii(text) || GetACP() == 1252)
        return text;
    std::wstring wide;
    if (!CodePageToWide(1252, text, wide))
        return text;
    const int length = static_cast<int>(wide.size());
    const int needed = WideCharToMultiByte(CP_ACP, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(needed > 0 ? needed : 0), '\0');
    if (needed <= 0 || WideCharToMultiByte(CP_ACP, 0, wide.data(), length, &out[0], needed, nullptr, nullptr) != needed)
        return text;
    return out;
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
