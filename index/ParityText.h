// The parity file of a set ("NAME.par"): the bytewise XOR of every volume of
// the set, each padded with zeros to the part size, so that any one volume
// can be rebuilt from all the others. A volume is what one medium holds:
// each data part but the last; the last data part with the first header
// file (the header file fills only the room the part leaves); each further
// header file.
//
// The file is a short text, then the block:
//
//   FENDRIX PARITY 1<CR><LF>
//   part size<TAB>1000<CR><LF>
//   volume<TAB>f.bin.001<TAB>1000<CR><LF>              one line per volume, in order:
//   volume<TAB>f.bin.011<TAB>990<TAB>f.bin.h001<TAB>10<CR><LF>   its files and sizes
//   volume<TAB>f.bin.h002<TAB>35<CR><LF>
//   crc<TAB>1A2B3C4D<CR><LF>
//   <the XOR block: exactly "part size" bytes>
//
// The crc line holds the CRC-32 (as in the sfv file) of every byte of the
// file but the crc line itself: the text before it, then the block. A
// damaged parity file is recognised by it even where the sfv file is lost.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The block is held in memory while a set is split or rebuilt: sets of
// larger parts (a DVD's) get no parity file.
constexpr int64_t ParityLargestPart = int64_t(1) << 30;
// Far more than 999 data parts and 999 header files need.
constexpr size_t ParityLargestText = 1 << 20;

struct TParityFile {
    std::string Name;
    int64_t Size = 0;
};

struct TParityVolume {
    std::vector<TParityFile> Files;
    int64_t Size() const;
};

struct TParityLayout {
    int64_t PartSize = 0;
    std::vector<TParityVolume> Volumes;
};

// Everything before the block, the crc line included; block holds
// layout.PartSize bytes.
std::string BuildParityHead(const TParityLayout& layout, const void* block);

// Reads a whole parity file. True when it is well formed, every volume fits
// the part size, the names are plain file names and the crc matches; then
// layout holds the description and the block starts at blockOffset.
bool ParseParity(const std::string& file, TParityLayout& layout, size_t& blockOffset);
