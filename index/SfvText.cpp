#include "SfvText.h"

namespace {

const char* const Comment = "; Fendrix\r\n";

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool ParseLine(std::string line, TSfvLine& out) {
    while (!line.empty() && (IsBlank(line.back()) || line.back() == '\r'))
        line.pop_back();
    if (line.empty() || line[0] == ';' || line.size() < 10)
        return false;
    const size_t hexStart = line.size() - 8;
    if (!IsBlank(line[hexStart - 1]))
        return false;
    uint32_t crc = 0;
    for (size_t i = hexStart; i < line.size(); ++i) {
        const int digit = HexValue(line[i]);
        if (digit < 0)
            return false;
        crc = (crc << 4) | static_cast<uint32_t>(digit);
    }
    size_t nameEnd = hexStart - 1;
    while (nameEnd > 0 && IsBlank(line[nameEnd - 1]))
        --nameEnd;
    if (nameEnd == 0)
        return false;
    out.Name = line.substr(0, nameEnd);
    out.Crc = crc;
    return true;
}

}  // namespace

std::string BuildSfv(const std::vector<TSfvLine>& lines) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text = Comment;
    for (const TSfvLine& line : lines) {
        text += line.Name;
        text += ' ';
        for (int shift = 28; shift >= 0; shift -= 4)
            text += digits[(line.Crc >> shift) & 0xF];
        text += "\r\n";
    }
    return text;
}

std::vector<TSfvLine> ParseSfv(const std::string& text) {
    std::vector<TSfvLine> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        TSfvLine line;
        if (ParseLine(text.substr(start, end - start), line))
            lines.push_back(line);
        start = end + 1;
    }
    return lines;
}
