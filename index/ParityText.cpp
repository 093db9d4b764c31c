#include "ParityText.h"

#include "foundation/UnitLanguage.h"
#include "foundation/checksum/Crc32.h"

#include <set>

namespace {

const char* const MagicLine = "FENDRIX PARITY 1";
const char* const PartSizeKey = "part size";
const char* const VolumeKey = "volume";
const char* const CrcKey = "crc";
// Every data part and header file of the largest set, one volume each.
constexpr size_t LargestVolumeCount = 2 * 999;

std::string Hex8(uint32_t value) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (int shift = 28; shift >= 0; shift -= 4)
        text += digits[(value >> shift) & 0xF];
    return text;
}

// Plain decimal digits only, no sign, no blanks, at most 18 of them (no
// overflow); false otherwise.
bool ParseSize(const std::string& text, int64_t& value) {
    if (text.empty() || text.size() > 18)
        return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

bool ParseHex8(const std::string& text, uint32_t& value) {
    if (text.size() != 8)
        return false;
    value = 0;
    for (char c : text) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        value = (value << 4) | static_cast<uint32_t>(digit);
    }
    return true;
}

// A name that a join may open beside the parity file: no path, no control
// characters, nothing the file system reads as a directory.
bool IsPlainFileName(const std::string& name) {
    if (name.empty() || name == "." || name == "..")
        return false;
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || c == '\\' || c == '/' || c == ':')
            return false;
    }
    return true;
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos)
            return fields;
        start = tab + 1;
    }
}

}  // namespace

int64_t TParityVolume::Size() const {
    int64_t size = 0;
    for (const TParityFile& file : Files)
        size += file.Size;
    return size;
}

std::string BuildParityHead(const TParityLayout& layout, const void* block) {
    std::string text = std::string(MagicLine) + "\r\n";
    text += std::string(PartSizeKey) + "\t" + FormatZeroPadded(0, layout.PartSize) + "\r\n";
    for (const TParityVolume& volume : layout.Volumes) {
        text += VolumeKey;
        for (const TParityFile& file : volume.Files)
            text += "\t" + file.Name + "\t" + FormatZeroPadded(0, file.Size);
        text += "\r\n";
    }
    const uint32_t crc = Crc32(Crc32(0, text.data(), text.size()), block, static_cast<size_t>(layout.PartSize));
    return text + CrcKey + "\t" + Hex8(crc) + "\r\n";
}

bool ParseParity(const std::string& file, TParityLayout& layout, size_t& blockOffset) {
    layout = TParityLayout();
    size_t start = 0;
    bool sized = false;
    std::set<std::string> names;
    for (size_t lineNo = 0;; ++lineNo) {
        const size_t end = file.find("\r\n", start);
        if (end == std::string::npos || end > ParityLargestText)
            return false;
        const std::string line = file.substr(start, end - start);
        const size_t lineStart = start;
        start = end + 2;
        if (lineNo == 0) {
            if (line != MagicLine)
                return false;
            continue;
        }
        const std::vector<std::string> fields = Fields(line);
        if (lineNo == 1) {
            if (fields.size() != 2 || fields[0] != PartSizeKey || !ParseSize(fields[1], layout.PartSize) ||
                layout.PartSize <= 0 || layout.PartSize > ParityLargestPart)
                return false;
            sized = true;
            continue;
        }
        if (fields[0] == VolumeKey) {
            // A name and a size for each file, at least one file.
            if (fields.size() < 3 || fields.size() % 2 != 1 || layout.Volumes.size() >= LargestVolumeCount)
                return false;
            TParityVolume volume;
            for (size_t i = 1; i < fields.size(); i += 2) {
                TParityFile part;
                part.Name = fields[i];
                if (!IsPlainFileName(part.Name) || !ParseSize(fields[i + 1], part.Size) ||
                    part.Size > layout.PartSize || !names.insert(part.Name).second)
                    return false;
                volume.Files.push_back(part);
            }
            if (volume.Size() > layout.PartSize)
                return false;
            layout.Volumes.push_back(volume);
            continue;
        }
        uint32_t recorded = 0;
        if (!sized || fields.size() != 2 || fields[0] != CrcKey || !ParseHex8(fields[1], recorded) ||
            layout.Volumes.empty())
            return false;
        // The block follows at once and ends the file.
        if (file.size() - start != static_cast<uint64_t>(layout.PartSize))
            return false;
        const uint32_t crc = Crc32(Crc32(0, file.data(), lineStart), file.data() + start, file.size() - start);
        if (crc != recorded)
            return false;
        blockOffset = start;
        return true;
    }
}
