// The checksum file of a set, in the plain SFV form that checkers read:
// comment lines begin with ';', then one line per file, "<name> <CRC-32 as
// eight upper-case hexadecimal digits>", with CRLF line ends.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TSfvLine {
    std::string Name;
    uint32_t Crc = 0;
};

std::string BuildSfv(const std::vector<TSfvLine>& lines);
// The lines of the form "name hex8"; anything else is passed over. A name
// may hold spaces: the checksum is the last field.
std::vector<TSfvLine> ParseSfv(const std::string& text);
