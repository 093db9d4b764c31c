// The multiply-add kernels behind Gf16MultiplyAdd: target ^= factor * source
// over whole 16-bit little-endian words. One set per processor family,
// chosen by directory; Gf16.cpp runs the first one this processor offers
// that agrees with the reference.
#pragma once

#include <cstddef>
#include <cstdint>

// bytes is even; the pointers may have any alignment.
using TGf16MultiplyAdd = void (*)(uint16_t factor, const uint8_t* source, uint8_t* target, size_t bytes);

// targets[k] ^= factors[k] * source for every k below count, the source
// read from memory once.
using TGf16MultiplyAddInto = void (*)(const uint8_t* source, const uint16_t* factors, uint8_t* const* targets,
                                      size_t count, size_t bytes);

struct TGf16Kernel {
    const char* Name;
    TGf16MultiplyAdd MultiplyAdd;
    // Null where the kernel has no way of its own: MultiplyAdd then goes
    // over the targets a piece of the source at a time.
    TGf16MultiplyAddInto MultiplyAddInto;
};

constexpr size_t Gf16MaxKernels = 4;

// The kernels this processor can run, fastest first; returns how many.
size_t Gf16Kernels(TGf16Kernel (&kernels)[Gf16MaxKernels]);

// Into for a kernel without a way of its own: multiplyAdd over every target
// one piece of the source at a time. factors of 0 are passed by.
void Gf16MultiplyAddIntoPieces(TGf16MultiplyAdd multiplyAdd, const uint8_t* source, const uint16_t* factors,
                               uint8_t* const* targets, size_t count, size_t bytes);

// The table-based kernel every processor runs, last in every list.
void Gf16MultiplyAddTables(uint16_t factor, const uint8_t* source, uint8_t* target, size_t bytes);

// factor * x^j for every j below 16. A product is linear in the word's bits,
// so each kernel builds its tables from these sixteen by XOR alone.
void Gf16BitProducts(uint16_t factor, uint16_t products[16]);

// The products of the factor with every nibble in each of a word's four
// places, split into their low and high bytes: the sixteen-entry tables of
// a byte shuffle. Built where code is small rather than fast, as it runs
// once per factor.
void Gf16NibbleProducts(uint16_t factor, uint8_t low[4][16], uint8_t high[4][16]);
