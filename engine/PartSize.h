// The part size that a preset, or a number and its unit, stand for: the
// window's size list and size field.
#pragma once

#include <cstdint>
#include <string>

// Entries of the size list: three presets, then four units for the number
// in the size field.
constexpr int SizeEntryCount = 7;
extern const char* const SizeEntries[SizeEntryCount];
constexpr int FirstSizeUnit = 3;

// Any size at or above this is replaced by 0: 999 parts of it would not fit
// in a signed 64-bit byte count.
constexpr int64_t LargestPartSize = 9232604641496272;

// The number in the size field; 0 for anything that is not a number.
int64_t SizeNumberFromText(const std::string& text);
// Bytes for a list index (-1 for none selected) and the field's number.
int64_t PartSizeFor(int index, int64_t number);

// The size that cuts total bytes into at most n data parts of one size, the
// last one smaller: one more than total / n, so that the parts never divide
// total evenly into n and leave the empty part after an exact multiple as
// an n+1st. 0 (an invalid size) where it would reach LargestPartSize.
int64_t EqualPartSize(int64_t total, int32_t n);
