// Part sets written by hand for the join tests: header texts with exactly
// the entries a case needs (including ones a split never writes), and the
// time values that the header keeps.
#pragma once

#include "TestFiles.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct THeaderEntry {
    std::string Name;
    char Kind;  // 'F' or 'D'
    std::string Size;
    std::string Time = "20050307140509120";
};

// "QoVa40" TAB, each entry's four fields each followed by a TAB, one TAB.
inline std::string HeaderTextOf(const std::vector<THeaderEntry>& entries) {
    std::string text = "QoVa40\t";
    for (const THeaderEntry& e : entries)
        text += e.Name + "\t" + e.Kind + "\t" + e.Size + "\t" + e.Time + "\t";
    return text + "\t";
}

// A FILETIME value (100 ns steps since 1601-01-01 UTC) for a UTC calendar
// time, computed without the system so that a test states its times plainly.
inline uint64_t FileTimeAt(int year, int month, int day, int hour, int minute, int second, int ms,
                           int extra100ns = 0) {
    // Days from 1970-01-01 for a proleptic Gregorian date.
    const int y = year - (month <= 2 ? 1 : 0);
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int mp = (month + 9) % 12;
    const int doy = (153 * mp + 2) / 5 + day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const int64_t days = static_cast<int64_t>(era) * 146097 + doe - 719468;
    const int64_t seconds = days * 86400 + hour * 3600 + minute * 60 + second + 11644473600LL;
    return static_cast<uint64_t>(seconds) * 10000000ULL + static_cast<uint64_t>(ms) * 10000ULL +
           static_cast<uint64_t>(extra100ns);
}

// The header keeps milliseconds; what lies below them is lost by design.
inline uint64_t WholeMilliseconds(uint64_t fileTime) {
    return fileTime - fileTime % 10000ULL;
}

// A set written by hand into dir: data parts NAME.001, NAME.002, ... with the
// given contents, and the header text in NAME.h001, NAME.h002, ..., cut
// after the given byte counts (the last file takes the rest).
inline void WritePartSet(const std::string& dir, const std::string& name, const std::vector<std::string>& dataParts,
                         const std::string& header, const std::vector<size_t>& headerCuts = {}) {
    auto numbered = [](int n) {
        char text[16];
        std::snprintf(text, sizeof text, "%03d", n);
        return std::string(text);
    };
    int n = 0;
    for (const std::string& part : dataParts)
        WriteFileBytes(dir + "\\" + name + "." + numbered(++n), part);
    size_t from = 0;
    n = 0;
    for (size_t cut : headerCuts) {
        WriteFileBytes(dir + "\\" + name + ".h" + numbered(++n), header.substr(from, cut));
        from += cut;
    }
    if (from < header.size() || headerCuts.empty())
        WriteFileBytes(dir + "\\" + name + ".h" + numbered(++n), header.substr(from));
}
