#include "HeaderNames.h"

#include "foundation/platform/TextServices.h"

const char* const Utf8NameMark = "\xEF\xBB\xBF";

namespace {

constexpr size_t MarkLength = 3;

bool IsAscii(const char* data, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        if (static_cast<unsigned char>(data[i]) >= 0x80)
            return false;
    }
    return true;
}

bool IsAscii(const std::string& text) {
    return IsAscii(text.data(), text.size());
}

bool StartsWithMark(const std::string& text) {
    return text.compare(0, MarkLength, Utf8NameMark) == 0;
}

// Bytes that follow a lead byte of UTF-8 and the range of the first one,
// which rules out overlong forms, surrogates and values above U+10FFFF.
struct TLead {
    int Extra;
    unsigned char Low;
    unsigned char High;
};

TLead LeadOf(unsigned char c) {
    if (c >= 0xC2 && c <= 0xDF)
        return {1, 0x80, 0xBF};
    if (c == 0xE0)
        return {2, 0xA0, 0xBF};
    if (c == 0xED)
        return {2, 0x80, 0x9F};
    if (c >= 0xE1 && c <= 0xEF)
        return {2, 0x80, 0xBF};
    if (c == 0xF0)
        return {3, 0x90, 0xBF};
    if (c >= 0xF1 && c <= 0xF3)
        return {3, 0x80, 0xBF};
    if (c == 0xF4)
        return {3, 0x80, 0x8F};
    return {-1, 0, 0};
}

}  // namespace

bool IsStrictUtf8(const std::string& text) {
    size_t pos = 0;
    while (pos < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[pos]);
        if (c < 0x80) {
            ++pos;
            continue;
        }
        const TLead lead = LeadOf(c);
        if (lead.Extra < 0 || text.size() - pos <= static_cast<size_t>(lead.Extra))
            return false;
        const unsigned char first = static_cast<unsigned char>(text[pos + 1]);
        if (first < lead.Low || first > lead.High)
            return false;
        for (int i = 2; i <= lead.Extra; ++i) {
            if ((static_cast<unsigned char>(text[pos + static_cast<size_t>(i)]) & 0xC0) != 0x80)
                return false;
        }
        pos += static_cast<size_t>(lead.Extra) + 1;
    }
    return true;
}

bool EncodeHeaderName(const std::string& name, std::string& stored) {
    // ASCII is the same in every legacy code page: the common case costs a
    // look at each byte and nothing more.
    if (IsAscii(name)) {
        stored = name;
        return true;
    }
    // Component by component: the leading ones that fit the legacy code page
    // stay in it, and the mark goes in front of the first that does not,
    // with everything from there on in UTF-8. A directory's stored name is
    // then always the start of its contents' stored names, so an older
    // reader, which takes the mark for three letters, still finds every
    // parent it made. A legacy component that would begin with the mark's
    // bytes ("ï»¿" in 1252) would be read as marked: it takes the mark too.
    std::string out;
    size_t start = 0;
    for (;;) {
        const size_t end = name.find('\\', start);
        const std::string component = name.substr(start, end == std::string::npos ? std::string::npos : end - start);
        std::string legacy;
        if (!OsTextToLegacy(component, legacy) || StartsWithMark(legacy)) {
            std::string utf8;
            if (!OsTextToUtf8(name.substr(start), utf8))
                return false;
            stored = out + Utf8NameMark + utf8;
            return true;
        }
        out += legacy;
        if (end == std::string::npos)
            break;
        out += '\\';
        start = end + 1;
    }
    stored = out;
    return true;
}

bool HasStoredForm(const std::string& name) {
    std::string stored;
    return IsAscii(name) || EncodeHeaderName(name, stored);
}

bool AppendHeaderName(std::string& out, const std::string& name) {
    if (IsAscii(name)) {
        out += name;
        return true;
    }
    std::string stored;
    if (!EncodeHeaderName(name, stored))
        return false;
    out += stored;
    return true;
}

bool DecodeHeaderName(const char* data, size_t length, std::string& name) {
    if (IsAscii(data, length)) {
        name.assign(data, length);
        return true;
    }
    return DecodeHeaderName(std::string(data, length), name);
}

bool DecodeHeaderName(const std::string& stored, std::string& name) {
    if (IsAscii(stored)) {
        name = stored;
        return true;
    }
    // The first mark that opens a component: the legacy code page before
    // it, UTF-8 after it. A name that opens with the mark is UTF-8 whole.
    size_t mark = stored.find(Utf8NameMark);
    while (mark != std::string::npos && mark != 0 && stored[mark - 1] != '\\')
        mark = stored.find(Utf8NameMark, mark + 1);
    if (mark == std::string::npos)
        return OsLegacyToText(stored, name);
    const std::string utf8 = stored.substr(mark + MarkLength);
    if (utf8.empty() || !IsStrictUtf8(utf8))
        return false;
    std::string head;
    std::string tail;
    if (!OsLegacyToText(stored.substr(0, mark), head) || !OsUtf8ToText(utf8, tail))
        return false;
    name = head + tail;
    return true;
}
