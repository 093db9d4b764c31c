#include "Crc32.h"

#include "FoldCrc32.h"

#include <atomic>
#include <cstring>

namespace {

constexpr uint32_t Polynomial = 0xEDB88320u;
// Below this the folding's set-up costs more than the table.
constexpr size_t FoldThreshold = 256;

// Eight tables: Slice[k][b] is the CRC register after byte b followed by k
// zero bytes, so that eight bytes take eight look-ups and no dependency
// chain from byte to byte. They are made on first use, on the heap: as a
// global the Windows build would carry all 8 KiB of them in the program
// file, even as zeros.
struct TSliceTables {
    uint32_t Slice[8][256];
    TSliceTables() {
        for (uint32_t b = 0; b < 256; ++b) {
            uint32_t c = b;
            for (int i = 0; i < 8; ++i)
                c = (c & 1) ? (c >> 1) ^ Polynomial : c >> 1;
            Slice[0][b] = c;
        }
        for (int k = 1; k < 8; ++k) {
            for (uint32_t b = 0; b < 256; ++b)
                Slice[k][b] = (Slice[k - 1][b] >> 8) ^ Slice[0][Slice[k - 1][b] & 0xFF];
        }
    }
};

std::atomic<const TSliceTables*> SliceTables{nullptr};

// Two threads that come first at once each make the tables; one set is
// kept, the other thrown away.
const TSliceTables& Tables() {
    const TSliceTables* tables = SliceTables.load(std::memory_order_acquire);
    if (tables)
        return *tables;
    const TSliceTables* made = new TSliceTables;
    if (SliceTables.compare_exchange_strong(tables, made, std::memory_order_acq_rel))
        return *made;
    delete made;
    return *tables;
}

uint32_t Bytewise(uint32_t reg, const uint8_t* p, size_t length) {
    const auto& t = Tables().Slice[0];
    while (length-- > 0)
        reg = t[(reg ^ *p++) & 0xFF] ^ (reg >> 8);
    return reg;
}

uint32_t Sliced(uint32_t reg, const uint8_t* p, size_t length) {
    const auto& t = Tables().Slice;
    while (length >= 8) {
        uint32_t low;
        uint32_t high;
        std::memcpy(&low, p, 4);
        std::memcpy(&high, p + 4, 4);
        // Little-endian words, as every processor the program runs on has.
        low ^= reg;
        reg = t[7][low & 0xFF] ^ t[6][(low >> 8) & 0xFF] ^ t[5][(low >> 16) & 0xFF] ^ t[4][low >> 24] ^
              t[3][high & 0xFF] ^ t[2][(high >> 8) & 0xFF] ^ t[1][(high >> 16) & 0xFF] ^ t[0][high >> 24];
        p += 8;
        length -= 8;
    }
    return Bytewise(reg, p, length);
}

bool Folding() {
    static const bool can = CanFoldCrc32();
    return can;
}

}  // namespace

uint32_t Crc32(uint32_t crc, const void* data, size_t length) {
    const uint8_t* p = static_cast<const uint8_t*>(data);
    uint32_t reg = ~crc;
    if (length >= FoldThreshold && Folding()) {
        const size_t folded = length & ~static_cast<size_t>(15);
        uint8_t block[16];
        FoldCrc32(reg, p, folded, block);
        reg = Sliced(0, block, sizeof block);
        p += folded;
        length -= folded;
    }
    return ~Sliced(reg, p, length);
}

uint32_t Crc32Bitwise(uint32_t crc, const void* data, size_t length) {
    const uint8_t* p = static_cast<const uint8_t*>(data);
    uint32_t reg = ~crc;
    while (length-- > 0) {
        reg ^= *p++;
        for (int i = 0; i < 8; ++i)
            reg = (reg & 1) ? (reg >> 1) ^ Polynomial : reg >> 1;
    }
    return ~reg;
}

const char* Crc32Method() {
    if (!Folding())
        return "table, 8 bytes a step";
    return CanFoldCrc32Wide() ? "carry-less multiplication, two blocks at a time (VPCLMULQDQ)"
                              : "carry-less multiplication (PCLMULQDQ)";
}

namespace {

// The product of two polynomials modulo the CRC's, both reflected as the
// register holds them (bit 31 is x^0).
uint32_t MultiplyModulo(uint32_t a, uint32_t b) {
    uint32_t product = 0;
    for (uint32_t bit = 1u << 31; bit != 0; bit >>= 1) {
        if (a & bit)
            product ^= b;
        b = (b & 1) ? (b >> 1) ^ Polynomial : b >> 1;
    }
    return product;
}

}  // namespace

// Bytes of B move the register of A on as zeros would, that is times
// x^(8 * lengthB); the starting and final inversions cancel (the CRC of A
// then B is that product XOR the CRC of B).
uint32_t Crc32Combine(uint32_t crcA, uint32_t crcB, uint64_t lengthB) {
    uint32_t power = 1u << (31 - 8);  // x^8: one byte
    uint32_t shifted = crcA;
    for (uint64_t n = lengthB; n != 0; n >>= 1) {
        if (n & 1)
            shifted = MultiplyModulo(power, shifted);
        power = MultiplyModulo(power, power);
    }
    return shifted ^ crcB;
}
