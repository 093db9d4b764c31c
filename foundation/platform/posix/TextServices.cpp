// The text and time services over plain C++, for POSIX systems. They follow
// the Win32 rules for code page 1252 and the proleptic Gregorian calendar
// from 1601, so that both programs read and write the same header texts.
#include "../TextServices.h"
#include "PosixText.h"

#include <locale.h>
#include <wctype.h>

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


// Characters of code page 1252 at 0x80-0x9F; the five bytes that it leaves
// undefined stand for the control characters of the same number, as the
// Win32 conversion reads and writes them.
const uint16_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

uint32_t Cp1252Character(unsigned char byte) {
    return byte >= 0x80 && byte <= 0x9F ? Cp1252High[byte - 0x80] : byte;
}

// The byte that stands for the character in code page 1252, or -1.
int Cp1252Byte(uint32_t code) {
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF))
        return static_cast<int>(code);
    for (int i = 0; i < 32; ++i) {
        if (Cp1252High[i] == code)
            return 0x80 + i;
    }
    return -1;
}

// One character of strict UTF-8 from pos on: no overlong forms, no
// surrogates, nothing above U+10FFFF.
bool NextUtf8(const std::string& text, size_t& pos, uint32_t& code) {
    const unsigned char lead = static_cast<unsigned char>(text[pos]);
    int extra = 0;
    uint32_t least = 0;
    if (lead < 0x80) {
        code = lead;
        ++pos;
        return true;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1;
        code = lead & 0x1F;
        least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2;
        code = lead & 0x0F;
        least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3;
        code = lead & 0x07;
        least = 0x10000;
    } else {
        return false;
    }
    if (text.size() - pos <= static_cast<size_t>(extra))
        return false;
    for (int i = 1; i <= extra; ++i) {
        const unsigned char next = static_cast<unsigned char>(text[pos + static_cast<size_t>(i)]);
        if ((next & 0xC0) != 0x80)
            return false;
        code = (code << 6) | (next & 0x3F);
    }
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return false;
    pos += static_cast<size_t>(extra) + 1;
    return true;
}

bool IsValidUtf8(const std::string& text) {
    size_t pos = 0;
    uint32_t code = 0;
    while (pos < text.size()) {
        if (!NextUtf8(text, pos, code))
            return false;
    }
    return true;
}

void AppendUtf8(std::string& out, uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

}  // namespace

const char* OsCharNext(const char* p) {
    return *p ? p + 1 : p;
}

namespace {

// The C library's Unicode data, whatever locale the process runs in.
locale_t Utf8Locale() {
    static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    return locale;
}

// Windows upper-cases a name one UTF-16 code unit at a time with the simple
// mappings: a character beyond the BMP stays itself, and so does one whose
// capital lies beyond it.
uint32_t UpperAsWindows(uint32_t code) {
    if (code > 0xFFFF)
        return code;
    // Every C library here has C.UTF-8; without it, ASCII at least.
    if (Utf8Locale() == static_cast<locale_t>(0))
        return code >= 'a' && code <= 'z' ? code - 32 : code;
    const uint32_t upper = static_cast<uint32_t>(towupper_l(static_cast<wint_t>(code), Utf8Locale()));
    return upper > 0xFFFF || (upper >= 0xD800 && upper <= 0xDFFF) ? code : upper;
}

}  // namespace

namespace {

// Each character of the text in turn; a byte that is no UTF-8 comes as its
// own value, with valid false.
template <typename TVisit>
void EachCodePoint(const std::string& text, TVisit visit) {
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t start = pos;
        uint32_t code = 0;
        if (NextUtf8(text, pos, code)) {
            visit(code, true);
        } else {
            pos = start + 1;
            visit(static_cast<unsigned char>(text[start]), false);
        }
    }
}

}  // namespace

void OsCharUpper(std::string& text) {
    std::string upper;
    upper.reserve(text.size());
    EachCodePoint(text, [&](uint32_t code, bool valid) {
        // A byte that is no UTF-8 stays as it is.
        if (valid)
            AppendUtf8(upper, UpperAsWindows(code));
        else
            upper += static_cast<char>(code);
    });
    text = std::move(upper);
}

std::u16string OsNameOrderKey(const std::string& text) {
    std::u16string key;
    key.reserve(text.size());
    EachCodePoint(text, [&](uint32_t code, bool valid) {
        code = valid ? UpperAsWindows(code) : code;
        if (code > 0xFFFF) {
            key += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            key += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            key += static_cast<char16_t>(code);
        }
    });
    return key;
}

// The OEM code page 437 from 0x80 on, for the letters and signs that code
// page 1252 shares with it. A batch file made here is read by a Windows
// command interpreter, as the Windows program writes it on an English
// system; the other characters are left out, and a name that holds one gets
// no batch file.
namespace {

struct TOemByte {
    uint16_t CodePoint;
    unsigned char Byte;
};
const TOemByte Oem437[] = {
    {0xC7, 0x80}, {0xFC, 0x81}, {0xE9, 0x82}, {0xE2, 0x83}, {0xE4, 0x84}, {0xE0, 0x85}, {0xE5, 0x86},
    {0xE7, 0x87}, {0xEA, 0x88}, {0xEB, 0x89}, {0xE8, 0x8A}, {0xEF, 0x8B}, {0xEE, 0x8C}, {0xEC, 0x8D},
    {0xC4, 0x8E}, {0xC5, 0x8F}, {0xC9, 0x90}, {0xE6, 0x91}, {0xC6, 0x92}, {0xF4, 0x93}, {0xF6, 0x94},
    {0xF2, 0x95}, {0xFB, 0x96}, {0xF9, 0x97}, {0xFF, 0x98}, {0xD6, 0x99}, {0xDC, 0x9A}, {0xA2, 0x9B},
    {0xA3, 0x9C}, {0xA5, 0x9D}, {0x192, 0x9F}, {0xE1, 0xA0}, {0xED, 0xA1}, {0xF3, 0xA2}, {0xFA, 0xA3},
    {0xF1, 0xA4}, {0xD1, 0xA5}, {0xAA, 0xA6}, {0xBA, 0xA7}, {0xBF, 0xA8}, {0xAC, 0xAA}, {0xBD, 0xAB},
    {0xBC, 0xAC}, {0xA1, 0xAD}, {0xAB, 0xAE}, {0xBB, 0xAF}, {0xDF, 0xE1}, {0xB5, 0xE6}, {0xB1, 0xF1},
    {0xF7, 0xF6}, {0xB0, 0xF8}, {0xB7, 0xFA}, {0xB2, 0xFD}, {0xA0, 0xFF}};

}  // namespace

bool OsTextToOemExact(const std::string& text, std::string& oem) {
    std::string out;
    for (size_t pos = 0; pos < text.size();) {
        uint32_t code = 0;
        if (!NextUtf8(text, pos, code))
            return false;
        if (code < 0x80) {
            out += static_cast<char>(code);
            continue;
        }
        bool found = false;
        for (const TOemByte& entry : Oem437) {
            if (entry.CodePoint == code) {
                out += static_cast<char>(entry.Byte);
                found = true;
            }
        }
        if (!found)
            return false;
    }
    oem = out;
    return true;
}

std::string OsTextToOemCodePage(const std::string& text) {
    std::string oem;
    if (OsTextToOemExact(text, oem))
        return oem;
    oem = text;
    for (char& c : oem) {
        if (static_cast<unsigned char>(c) >= 0x80)
            c = '?';
    }
    return oem;
}

// The program's text is UTF-8, as the system's names are: a name that is
// valid UTF-8 is program text as it stands.
TNameFault OsTextFromSystemName(const std::string& name, std::string& text) {
    text = name;
    return IsValidUtf8(name) ? TNameFault::None : TNameFault::NotUtf8;
}

std::string OsDisplayTextOfSystemName(const std::string& name) {
    std::string text;
    for (size_t pos = 0; pos < name.size();) {
        const size_t start = pos;
        uint32_t code = 0;
        if (NextUtf8(name, pos, code)) {
            text.append(name, start, pos - start);
        } else {
            text += '?';
            pos = start + 1;
        }
    }
    return text;
}

std::string OsSystemNameFromText(const std::string& text) {
    return text;
}

// The program's text is UTF-8 here; the legacy code page is 1252.
bool OsTextToLegacy(const std::string& text, std::string& legacy) {
    std::string out;
    out.reserve(text.size());
    size_t pos = 0;
    uint32_t code = 0;
    while (pos < text.size()) {
        if (!NextUtf8(text, pos, code))
            return false;
        const int byte = Cp1252Byte(code);
        if (byte < 0)
            return false;
        out += static_cast<char>(byte);
    }
    legacy = out;
    return true;
}

bool OsLegacyToText(const std::string& legacy, std::string& text) {
    text = OsTextFromCp1252(legacy);
    return true;
}

bool OsTextToUtf8(const std::string& text, std::string& utf8) {
    if (!IsValidUtf8(text))
        return false;
    utf8 = text;
    return true;
}

bool OsUtf8ToText(const std::string& utf8, std::string& text) {
    return OsTextToUtf8(utf8, text);
}

std::string OsTextFromCp1252(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        AppendUtf8(out, Cp1252Character(static_cast<unsigned char>(c)));
    return out;
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
