// The header text: "QoVa40", TAB, then name, kind, size and time of every
// entry, each followed by a TAB, and one closing TAB.
#include "UnitFileInfo.h"

#include "foundation/NumberParsing.h"
#include "foundation/UnitLanguage.h"

const char* const HeaderMagic = "QoVa40";

namespace {

constexpr char Tab = '\t';
constexpr size_t MagicLength = 6;

void AppendEntry(std::string& out, const TFileInfo& entry) {
    out += entry.Name;
    out += Tab;
    out += entry.Kind == fkFile ? 'F' : 'D';
    out += Tab;
    out += FormatZeroPadded(0, entry.Size);
    out += Tab;
    TSystemTime st;
    if (!OsFileTimeToSystemTime(entry.LastWriteTime, st))
        st = TSystemTime();
    out += FormatZeroPadded(4, st.wYear);
    out += FormatZeroPadded(2, st.wMonth);
    out += FormatZeroPadded(2, st.wDay);
    out += FormatZeroPadded(2, st.wHour);
    out += FormatZeroPadded(2, st.wMinute);
    out += FormatZeroPadded(2, st.wSecond);
    out += FormatZeroPadded(3, st.wMilliseconds);
}

// Takes the field that ends at the next TAB from pos on and moves pos behind
// that TAB; with no TAB left the field is empty and pos stays.
std::string TakeField(const std::string& text, size_t& pos) {
    const size_t tab = text.find(Tab, pos);
    if (tab == std::string::npos)
        return std::string();
    std::string field = text.substr(pos, tab - pos);
    pos = tab + 1;
    return field;
}

bool ReadNumber(const std::string& text, int64_t& value) {
    int errorPos = 0;
    value = ParseInt64(text, errorPos);
    return errorPos == 0;
}

// One entry from text at pos; the cursor keeps a header of many entries
// linear instead of erasing each entry from the front of the text.
bool ParseEntryAt(TFileInfo& entry, const std::string& text, size_t& pos) {
    entry.Name = StripTrailingBackslashes(TakeField(text, pos));
    entry.Kind = TakeField(text, pos) == "F" ? fkFile : fkDirectory;
    bool valid = ReadNumber(TakeField(text, pos), entry.Size);

    const std::string time = TakeField(text, pos);
    static const size_t starts[7] = {0, 4, 6, 8, 10, 12, 14};
    static const size_t lengths[7] = {4, 2, 2, 2, 2, 2, 3};
    int64_t pieces[7] = {};
    for (int i = 0; i < 7; ++i) {
        const std::string piece = starts[i] < time.size() ? time.substr(starts[i], lengths[i]) : std::string();
        if (!ReadNumber(piece, pieces[i]))
            valid = false;
    }
    if (!valid)
        return false;

    bool inRange = true;
    for (int64_t piece : pieces)
        inRange = inRange && piece >= 0 && piece <= 0xFFFF;
    if (inRange) {
        TSystemTime st;
        st.wYear = static_cast<uint16_t>(pieces[0]);
        st.wMonth = static_cast<uint16_t>(pieces[1]);
        st.wDay = static_cast<uint16_t>(pieces[2]);
        st.wHour = static_cast<uint16_t>(pieces[3]);
        st.wMinute = static_cast<uint16_t>(pieces[4]);
        st.wSecond = static_cast<uint16_t>(pieces[5]);
        st.wMilliseconds = static_cast<uint16_t>(pieces[6]);
        TFileTime converted;
        if (OsSystemTimeToFileTime(st, converted))
            entry.LastWriteTime = converted;
    }
    return true;
}

}  // namespace

std::string TFileInfo::FormatEntry() const {
    std::string out;
    AppendEntry(out, *this);
    return out;
}

bool TFileInfo::ParseEntry(std::string& text) {
    try {
        size_t pos = 0;
        const bool valid = ParseEntryAt(*this, text, pos);
        text.erase(0, pos);
        return valid;
    } catch (...) {
        return false;
    }
}

std::string TFileInfos::BuildHeader() const {
    std::string out = HeaderMagic;
    out.reserve(out.size() + Items.size() * 48 + 2);
    for (const auto& item : Items) {
        out += Tab;
        AppendEntry(out, *item);
    }
    out += Tab;
    out += Tab;
    return out;
}

int64_t TFileInfos::HeaderSize() const {
    return static_cast<int64_t>(BuildHeader().size());
}

bool TFileInfos::IsCompleteHeader(const std::string& text) {
    const size_t n = text.size();
    return n > 2 && text[n - 1] == Tab && text[n - 2] == Tab && text.compare(0, MagicLength, HeaderMagic) == 0;
}

bool TFileInfos::ParseHeader(const std::string& text) {
    try {
        Clear();
        bool valid = text.compare(0, MagicLength, HeaderMagic) == 0;
        const size_t firstTab = text.find(Tab);
        size_t pos = firstTab == std::string::npos ? 0 : firstTab + 1;
        // The loop ends at the closing TAB, or when an entry is invalid; an
        // entry that finds no TAB makes no progress but is always invalid.
        while (valid && !(text.size() - pos == 1 && text[pos] == Tab)) {
            TFileInfo* entry = Add();
            valid = ParseEntryAt(*entry, text, pos);
        }
        return valid;
    } catch (...) {
        Clear();
        return false;
    }
}
