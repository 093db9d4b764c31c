// The checksums that a set's sfv file records, as a join or a verify run
// checks the files of the set against them.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class TSetChecksums {
public:
    // Reads the sfv file of the set with this stem ("name.") from dir, if
    // there is one; a set without one has no checksums. Read errors raise.
    void Load(const std::string& dir, const std::string& stem);

    bool Empty() const { return ByName.empty(); }
    // True unless the file is listed with another checksum.
    bool Matches(const std::string& fileName, uint32_t crc) const;
    bool Lists(const std::string& fileName) const;
    // Listed with the checksum of no bytes: an empty file.
    bool ListsEmpty(const std::string& fileName) const;
    // The listed names, as the file spells them, in its order.
    const std::vector<std::string>& Names() const { return Listed; }

private:
    std::map<std::string, uint32_t> ByName;
    std::vector<std::string> Listed;
};
