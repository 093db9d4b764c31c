#include "NativeListing.h"

#include "foundation/UnitLanguage.h"
#include "foundation/platform/TextServices.h"

#include <cstdio>

std::string IsoUtcTime(const TFileTime& time) {
    TSystemTime t;
    if (!OsFileTimeToSystemTime(time, t))
        return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02u.%03uZ", t.wYear, t.wMonth, t.wDay, t.wHour,
                  t.wMinute, t.wSecond, t.wMilliseconds);
    return text;
}

std::string ListedName(const std::string& headerName) {
    std::string line;
    for (const char c : OsSystemNameFromText(headerName)) {
        const unsigned char u = static_cast<unsigned char>(c);
        // The header separates components with a backslash; a name of the
        // set has none of its own (the scan refuses them).
        if (c == '\\') {
            line += '/';
        } else if (c == '\n') {
            line += "\\n";
        } else if (c == '\t') {
            line += "\\t";
        } else if (u < 0x20 || u == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02x", u);
            line += escape;
        } else {
            line += c;
        }
    }
    return line;
}

void WriteListing(const TFileInfos& list, const TSetListing& listing, std::ostream& out) {
    for (int32_t i = 0; i < list.Count(); ++i) {
        const TFileInfo* entry = list.GetItem(i);
        const bool directory = entry->Kind == fkDirectory;
        out << (directory ? 'd' : 'f') << ' ' << (directory ? 0 : entry->Size) << ' '
            << IsoUtcTime(entry->LastWriteTime) << ' ' << ListedName(entry->Name) << '\n';
    }
    const std::string present = LangText(msgPresent), absent = LangText(msgAbsent);
    out << OsSystemNameFromText(LangText(
               msgListSummary,
               {FormatZeroPadded(0, listing.DataParts), FormatZeroPadded(0, listing.PartSize),
                FormatZeroPadded(0, listing.HeaderFiles), FormatZeroPadded(0, list.TotalSize()),
                listing.HasChecksums ? present : absent, listing.HasParity ? present : absent,
                listing.HasRecovery ? present : absent}))
        << std::endl;
}
