// The reader's two ways with recovery slices: each packet checked as it is
// read, or all of them checked afterwards, side by side. Both must take the
// same sound slices from the same bytes, also where a damaged packet claims
// more bytes than it has and so hides the packets behind it.
#include "index/Par2Packets.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <utility>

namespace {

struct TFile {
    std::string Bytes;
    size_t Read(uint64_t offset, void* into, size_t count) const {
        if (offset >= Bytes.size())
            return 0;
        const size_t n = std::min<size_t>(count, Bytes.size() - static_cast<size_t>(offset));
        std::memcpy(into, Bytes.data() + offset, n);
        return n;
    }
};

std::string Recovery(const TPar2Id& set, uint32_t exponent, size_t bytes) {
    std::string body(4 + bytes, '\0');
    for (size_t i = 0; i < body.size(); ++i)
        body[i] = static_cast<char>(i * 131 + exponent * 7);
    std::memcpy(&body[0], &exponent, 4);
    return Par2Packet(set, Par2RecoveryType, body);
}

using TFound = std::multiset<std::pair<uint32_t, uint64_t>>;

TFound Slices(const std::vector<TPar2Set>& sets) {
    TFound found;
    for (const TPar2Set& set : sets) {
        for (const TPar2RecoverySlice& slice : set.RecoverySlices)
            found.insert({slice.Exponent, slice.DataOffset});
    }
    return found;
}

TEST(Par2Reader, ChecksLaterTakeWhatChecksAtOnceTake) {
    TPar2Id set{};
    set[3] = 9;
    TPar2Id other = set;
    other[0] = 1;
    // Eleven slices of one length (more than one group of eight), one of
    // another, one of another set.
    std::vector<std::string> packets;
    for (uint32_t e = 0; e < 11; ++e)
        packets.push_back(Recovery(set, e, 4096));
    packets.push_back(Recovery(set, 40, 100));
    packets.push_back(Recovery(other, 41, 4096));
    std::string sound;
    for (const std::string& packet : packets)
        sound += packet;
    const size_t third = packets[0].size() * 2;

    struct TCase {
        const char* Name;
        std::string Bytes;
        size_t Expected;
    };
    std::vector<TCase> cases = {{"all sound", sound, 13}};
    std::string flipped = sound;
    flipped[third + 500] ^= 1;
    cases.push_back({"one slice's byte flipped", flipped, 12});
    // The third packet's length grown by two packets: the packets it
    // swallows are found again when it turns out damaged.
    std::string grown = sound;
    const uint64_t length = packets[2].size() + 2 * packets[3].size();
    std::memcpy(&grown[third + 8], &length, 8);
    cases.push_back({"a length that swallows two packets", grown, 12});
    // Its length cut short: the scan finds the next packet's magic.
    std::string cut = sound;
    const uint64_t shorter = 64 + 8;
    std::memcpy(&cut[third + 8], &shorter, 8);
    cases.push_back({"a length cut short", cut, 12});
    cases.push_back({"a file cut inside a packet", sound.substr(0, third + 1000), 2});
    std::string noise = std::string(77, 'x') + sound.substr(0, third) + "PAR2" + sound.substr(third);
    cases.push_back({"noise between packets", noise, 13});

    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TFile file{c.Bytes};
        const auto read = [&](uint64_t offset, void* into, size_t count) { return file.Read(offset, into, count); };
        std::vector<TPar2Set> atOnce;
        ReadPar2Packets(read, file.Bytes.size(), 3, atOnce);
        std::vector<TPar2Set> later;
        std::vector<TPar2UncheckedSlice> unchecked;
        ReadPar2Packets(read, file.Bytes.size(), 3, later, &unchecked);
        EXPECT_TRUE(Slices(later).empty());
        std::vector<uint8_t> checked(unchecked.size());
        const TPar2ReadFileAt readFile = [&](int index, uint64_t offset, void* into, size_t count) {
            EXPECT_EQ(3, index);
            return file.Read(offset, into, count);
        };
        CheckPar2Packets(readFile, unchecked.data(), unchecked.size(), checked.data());
        AddCheckedPar2Slices(readFile, {0, 0, 0, file.Bytes.size()}, unchecked, checked, later);
        EXPECT_EQ(c.Expected, Slices(atOnce).size());
        EXPECT_EQ(Slices(atOnce), Slices(later));
    }
}

}  // namespace
