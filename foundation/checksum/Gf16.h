// Arithmetic in GF(2^16) with the polynomial x^16 + x^12 + x^3 + x + 1
// (0x1100B), the field of PAR 2.0 recovery data. Addition is XOR; data are
// 16-bit little-endian words.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

uint16_t Gf16Multiply(uint16_t a, uint16_t b);
// a / b; b == 0 has no quotient and gives 0, so a caller that divides by an
// unchecked value gets no element that looks like an answer.
uint16_t Gf16Divide(uint16_t a, uint16_t b);
// base^exponent, with 0^0 = 1.
uint16_t Gf16Power(uint16_t base, uint64_t exponent);

// The constant that input slice index (from 0) is weighted with: 2^n for the
// index-th n >= 1 prime to 65535, so that every constant has the field's
// full order. There are 32768 of them; a larger index gives 0, which weighs
// nothing and is no constant.
uint16_t Par2InputConstant(uint32_t index);

// target[w] ^= factor * source[w] for every 16-bit little-endian word of
// bytes; an odd last byte is left alone. Either pointer may have any
// alignment; the ranges must not overlap.
void Gf16MultiplyAdd(uint16_t factor, const void* source, void* target, size_t bytes);
// targets[k][w] ^= factors[k] * source[w] for every k below count: the
// source is read from memory once, a piece at a time that stays in the
// cache while every target takes its share. No target may overlap the
// source.
void Gf16MultiplyAddInto(const void* source, const uint16_t* factors, void* const* targets, size_t count, size_t bytes);
// The same one word at a time through the log tables: the plain reference
// that the fast paths are held to.
void Gf16MultiplyAddReference(uint16_t factor, const void* source, void* target, size_t bytes);

// Which kernel Gf16MultiplyAdd runs on this processor, for the benchmarks'
// figures.
const char* Gf16Method();

// Inverts the n x n matrix (row-major) in place by Gauss-Jordan elimination.
// False, with the matrix left unspecified, when it is singular or does not
// hold n * n elements.
bool Gf16Invert(std::vector<uint16_t>& matrix, size_t n);
