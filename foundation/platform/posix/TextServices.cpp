// The text and time services over plain C++, for POSIX systems. They follow
// the Win32 rules for code page 1252 and the proleptic Gregorian calendar
// from 1601, so that both programs read and write the same header texts.
#include "../TextServices.h"

namespace {

constexpr uint64_t TicksPerMillisecond = 10000;
constexpr uint64_t MillisecondsPerDay = 86400000;
// FileTimeToSystemTime refuses values with the top bit set.
constexpr uint64_t LargestFileTime = 0x7FFFFFFFFFFFFFFFull;

bool IsLeapYear(int64_t year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int64_t year, int month) {
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

// Days since 1970-01-01 of a civil date (H. Hinnant's algorithm).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int64_t& y, unsigned& m, unsigned& d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = static_cast<int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y += m <= 2;
}

const int64_t Epoch1601 = DaysFromCivil(1601, 1, 1);

unsigned char UpperCp1252(unsigned char c) {
    if (c >= 'a' && c <= 'z')
        return static_cast<unsigned char>(c - 32);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return static_cast<unsigned char>(c - 32);
    switch (c) {
    case 0x9A: return 0x8A;
    case 0x9C: return 0x8C;
    case 0x9E: return 0x8E;
    case 0xFF: return 0x9F;
    default: return c;
    }
}

}  // namespace

const char* OsCharNext(const char* p) {
    return *p ? p + 1 : p;
}

void OsCharUpper(std::string& text) {
    for (char& c : text)
        c = static_cast<char>(UpperCp1252(static_cast<unsigned char>(c)));
}

// A POSIX system has no command interpreter that reads batch files: ASCII
// passes as it is, and a character that a batch line could not be trusted to
// carry becomes '?', as the system's conversion writes it.
std::string OsTextToOemCodePage(const std::string& text) {
    std::string oem = text;
    for (char& c : oem) {
        if (static_cast<unsigned char>(c) >= 0x80)
            c = '?';
    }
    return oem;
}

bool OsFileTimeToSystemTime(const TFileTime& fileTime, TSystemTime& systemTime) {
    const uint64_t ticks = FileTimeValue(fileTime);
    if (ticks > LargestFileTime)
        return false;
    const uint64_t ms = ticks / TicksPerMillisecond;
    const int64_t days = static_cast<int64_t>(ms / MillisecondsPerDay);
    uint64_t rest = ms % MillisecondsPerDay;
    int64_t year;
    unsigned month, day;
    CivilFromDays(Epoch1601 + days, year, month, day);
    systemTime.wYear = static_cast<uint16_t>(year);
    systemTime.wMonth = static_cast<uint16_t>(month);
    systemTime.wDay = static_cast<uint16_t>(day);
    // 1601-01-01 was a Monday.
    systemTime.wDayOfWeek = static_cast<uint16_t>((days + 1) % 7);
    systemTime.wMilliseconds = static_cast<uint16_t>(rest % 1000);
    rest /= 1000;
    systemTime.wSecond = static_cast<uint16_t>(rest % 60);
    rest /= 60;
    systemTime.wMinute = static_cast<uint16_t>(rest % 60);
    systemTime.wHour = static_cast<uint16_t>(rest / 60);
    return true;
}

bool OsSystemTimeToFileTime(const TSystemTime& st, TFileTime& fileTime) {
    if (st.wYear < 1601 || st.wYear > 30827 || st.wMonth < 1 || st.wMonth > 12 || st.wDay < 1 ||
        st.wDay > DaysInMonth(st.wYear, st.wMonth) || st.wHour > 23 || st.wMinute > 59 || st.wSecond > 59 ||
        st.wMilliseconds > 999)
        return false;
    const int64_t days = DaysFromCivil(st.wYear, st.wMonth, st.wDay) - Epoch1601;
    const uint64_t ms = static_cast<uint64_t>(days) * MillisecondsPerDay +
                        ((st.wHour * 60ull + st.wMinute) * 60ull + st.wSecond) * 1000ull + st.wMilliseconds;
    fileTime = MakeFileTime(ms * TicksPerMillisecond);
    return true;
}
