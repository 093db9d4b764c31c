// The header text: "QoVa40", TAB, then name, kind, size and time of every
// entry, each followed by a TAB, and one closing TAB.
#include "UnitFileInfo.h"

#include "HeaderNames.h"

#include "foundation/NumberParsing.h"
#include "foundation/UnitLanguage.h"

#include <algorithm>
#include <new>

const char* const HeaderMagic = "QoVa40";

namespace {

constexpr char Tab = '\t';
constexpr size_t MagicLength = 6;

// The longest a field other than the name can be: a sign and 19 digits for
// the size, 17 digits for the time (more only for years past 9999), the kind
// letter and the four TABs; used to size the text once.
constexpr size_t FixedFieldsBound = 48;

void AppendPadded(std::string& out, int32_t width, int64_t value) {
    out += FormatZeroPadded(width, value);
}

void AppendEntry(std::string& out, const TFileInfo& entry) {
    // The scan refuses a name that has no stored form, so the raw bytes are
    // only ever written for a list that was built by hand.
    if (!AppendHeaderName(out, entry.Name))
        out += entry.Name;
    out += Tab;
    out += entry.Kind == fkFile ? 'F' : 'D';
    out += Tab;
    AppendPadded(out, 0, entry.Size);
    out += Tab;
    TSystemTime st;
    if (!OsFileTimeToSystemTime(entry.LastWriteTime, st))
        st = TSystemTime();
    AppendPadded(out, 4, st.wYear);
    AppendPadded(out, 2, st.wMonth);
    AppendPadded(out, 2, st.wDay);
    AppendPadded(out, 2, st.wHour);
    AppendPadded(out, 2, st.wMinute);
    AppendPadded(out, 2, st.wSecond);
    AppendPadded(out, 3, st.wMilliseconds);
}

// The field that ends at the next TAB from pos on, as its start and length;
// pos moves behind that TAB. With no TAB left the field is empty and pos stays.
struct TField {
    size_t Start = 0;
    size_t Length = 0;
};

TField TakeField(const std::string& text, size_t& pos) {
    const size_t tab = text.find(Tab, pos);
    if (tab == std::string::npos)
        return TField{pos, 0};
    const TField field{pos, tab - pos};
    pos = tab + 1;
    return field;
}

// A piece of the text read with the rules of ParseInt64; pieces beyond the
// end of the field are empty and so invalid.
bool ReadNumber(const std::string& text, const TField& field, size_t offset, size_t length, int64_t& value) {
    if (offset >= field.Length)
        return false;
    int errorPos = 0;
    const size_t n = offset + length <= field.Length ? length : field.Length - offset;
    value = ParseInt64(text.substr(field.Start + offset, n), errorPos);
    return errorPos == 0;
}

// One entry from text at pos; the cursor keeps a header of many entries
// linear instead of erasing each entry from the front of the text.
bool ParseEntryAt(TFileInfo& entry, const std::string& text, size_t& pos) {
    const TField name = TakeField(text, pos);
    size_t nameLength = name.Length;
    while (nameLength > 0 && text[name.Start + nameLength - 1] == '\\')
        --nameLength;
    // A name that does not decode is no name this program could create:
    // the header is invalid, and nothing is created from it.
    if (!DecodeHeaderName(text.data() + name.Start, nameLength, entry.Name))
        return false;

    // Only the two kinds that the split writes: anything else would make
    // the entries after it take bytes meant for another file.
    const TField kind = TakeField(text, pos);
    const char letter = kind.Length == 1 ? text[kind.Start] : '\0';
    entry.Kind = letter == 'F' ? fkFile : letter == 'D' ? fkDirectory : TEntryKind::None;

    const TField size = TakeField(text, pos);
    bool valid = ReadNumber(text, size, 0, size.Length, entry.Size) && entry.Kind != TEntryKind::None;

    const TField time = TakeField(text, pos);
    static const size_t starts[7] = {0, 4, 6, 8, 10, 12, 14};
    static const size_t lengths[7] = {4, 2, 2, 2, 2, 2, 3};
    int64_t pieces[7] = {};
    for (int i = 0; i < 7; ++i) {
        if (!ReadNumber(text, time, starts[i], lengths[i], pieces[i]))
            valid = false;
    }
    if (!valid)
        return false;

    // A piece outside 0..65535 would not fit the calendar's 16-bit fields
    // and is refused by the conversion in any case.
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
    size_t length = MagicLength + 2;
    for (const auto& item : Items)
        length += item->Name.size() + FixedFieldsBound;
    std::string out;
    out.reserve(length);
    out = HeaderMagic;
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
        // Four TABs per entry: room for all of them at once.
        if (valid)
            Items.reserve(static_cast<size_t>(std::count(text.begin() + static_cast<std::ptrdiff_t>(pos), text.end(), Tab)) / 4);
        // The loop ends at the closing TAB, or when an entry is invalid; an
        // entry that finds no TAB makes no progress but is always invalid.
        while (valid && !(text.size() - pos == 1 && text[pos] == Tab)) {
            TFileInfo* entry = Add();
            valid = ParseEntryAt(*entry, text, pos);
        }
        return valid;
    } catch (const std::bad_alloc&) {
        // A header that finds no memory is no invalid header.
        Clear();
        throw;
    } catch (...) {
        Clear();
        return false;
    }
}
