// Recovery data in the PAR 2.0 format, which par2cmdline, MultiPar and the
// other PAR2 tools read and write. A file of it is a row of packets, each
//
//   "PAR2\0PKT"  length (u64, the whole packet, a multiple of 4)
//   MD5 of everything after this field    recovery set ID    type (16 bytes)
//   body
//
// little-endian throughout. The set ID is the MD5 of the main packet's body;
// a file's ID is the MD5 of its first 16 KiB's MD5, its length and its name.
// The input files are cut into slices of one size (the last one of a file
// padded with zeros); recovery slice e is the sum over the input slices i
// of c_i^e * slice_i in GF(2^16), so that any d lost slices follow from any
// d recovery slices.
#pragma once

#include "foundation/checksum/Md5.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

using TPar2Id = TMd5Digest;

constexpr size_t Par2HeaderSize = 64;
// The bytes of a file's first part whose MD5 goes into its ID.
constexpr uint64_t Par2HashedHead = 16384;

struct TPar2SliceCheck {
    TMd5Digest Md5{};
    uint32_t Crc = 0;
};

// What the packets tell of one input file.
struct TPar2FileEntry {
    TPar2Id Id{};
    TMd5Digest Hash{};
    TMd5Digest Head{};
    uint64_t Length = 0;
    // As stored: the bytes of the name, no path check made.
    std::string Name;
    // One row per slice when the set's checksums of it were read.
    std::vector<TPar2SliceCheck> Slices;
};

TPar2Id Par2FileId(const TMd5Digest& head, uint64_t length, const std::string& name);
uint64_t Par2SliceCount(uint64_t length, uint64_t sliceSize);

// The bodies of the packets that describe a set; fileIds sorted as Par2IdBefore says.
std::string Par2MainBody(uint64_t sliceSize, const std::vector<TPar2Id>& fileIds);
std::string Par2FileDescBody(const TPar2FileEntry& file);
std::string Par2SliceChecksBody(const TPar2FileEntry& file);
std::string Par2CreatorBody(const std::string& creator);
// A packet around body, for packets held whole in memory.
std::string Par2Packet(const TPar2Id& setId, const char* type, const std::string& body);
// The header of a packet whose body (bodyLength bytes, hash its MD5 begun
// by Par2PacketHashStart and fed the body) is written in pieces.
TMd5 Par2PacketHashStart(const TPar2Id& setId, const char* type);
std::string Par2PacketHeader(uint64_t bodyLength, const TMd5Digest& hash, const TPar2Id& setId, const char* type);

// The packet types, 16 bytes each.
extern const char Par2MainType[16];
extern const char Par2FileDescType[16];
extern const char Par2SliceChecksType[16];
extern const char Par2RecoveryType[16];
extern const char Par2CreatorType[16];

// The order of the main packet's file IDs: as 128-bit numbers, whose last
// byte is the most significant.
bool Par2IdBefore(const TPar2Id& a, const TPar2Id& b);

// "NAME.volFIRST+COUNT.par2", the numbers as wide as par2cmdline makes them:
// the first as the total of recovery slices, the count as the largest count.
std::string Par2VolumeName(const std::string& base, uint32_t first, uint32_t count, uint32_t total,
                           uint32_t largestCount);

// A recovery slice found in a file: its exponent and where its data start.
struct TPar2RecoverySlice {
    uint32_t Exponent = 0;
    uint64_t DataOffset = 0;
    uint64_t DataLength = 0;
    // Which file (by the index the caller gave) holds it.
    int File = 0;
};

// Every sound packet of one recovery set, gathered from any number of files.
struct TPar2Set {
    TPar2Id SetId{};
    bool HasMain = false;
    uint64_t SliceSize = 0;
    std::vector<TPar2Id> Recoverable;
    std::vector<TPar2FileEntry> Files;
    // In the order read; a slice found in two files is there twice.
    std::vector<TPar2RecoverySlice> RecoverySlices;
    // The entry of a file ID; null where nothing was read of it.
    const TPar2FileEntry* File(const TPar2Id& id) const;
    TPar2FileEntry& FileEntry(const TPar2Id& id);
    // True when the main packet, a description and checksums of every
    // recoverable file were read.
    bool Complete() const;
};

// Reads count bytes at offset into the buffer; returns how many it got.
using TPar2ReadAt = std::function<size_t(uint64_t offset, void* into, size_t count)>;

// A recovery slice's packet whose MD5 ReadPar2Packets left to its caller,
// who may check many of them side by side (CheckPar2Packets): such packets
// hold nearly all the bytes of recovery files.
struct TPar2UncheckedSlice {
    TPar2RecoverySlice Slice;
    TPar2Id SetId{};
    uint64_t PacketOffset = 0;
    uint64_t PacketLength = 0;
    TMd5Digest Md5{};
};

// Adds to sets (by set ID) every packet of a file of size bytes whose MD5
// holds: a damaged packet is passed over and the scan goes on at the next
// "PAR2\0PKT". fileIndex is recorded for the recovery slices found. With
// unchecked, recovery slices' packets go there instead, unchecked, and the
// scan goes on past them; where one turns out damaged, the caller scans the
// bytes it claimed again, from its offset + 1 to its end (from and to: the
// packets that start in between).
void ReadPar2Packets(const TPar2ReadAt& read, uint64_t size, int fileIndex, std::vector<TPar2Set>& sets,
                     std::vector<TPar2UncheckedSlice>* unchecked = nullptr, uint64_t from = 0,
                     uint64_t to = UINT64_MAX);

// Reads count bytes at offset of the file with this index.
using TPar2ReadFileAt = std::function<size_t(int file, uint64_t offset, void* into, size_t count)>;
// Sets sound[k] for each of count packets whose MD5 holds; packets of one
// length go through MD5 up to eight side by side.
void CheckPar2Packets(const TPar2ReadFileAt& read, const TPar2UncheckedSlice* packets, size_t count, uint8_t* sound);

// Adds the recovery slices of the sound packets to their sets, and scans
// the bytes that each damaged one claimed again (sizes: of each file).
void AddCheckedPar2Slices(const TPar2ReadFileAt& read, const std::vector<uint64_t>& sizes,
                          const std::vector<TPar2UncheckedSlice>& packets, const std::vector<uint8_t>& sound,
                          std::vector<TPar2Set>& sets);

// The set of sets with this ID, added when there is none.
TPar2Set& Par2SetOf(std::vector<TPar2Set>& sets, const TPar2Id& id);
