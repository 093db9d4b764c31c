// The bytewise XOR that a parity file keeps of every volume of a set.
#pragma once

#include <cstddef>

// target[i] ^= source[i] for every i below length. Either pointer may have
// any alignment; the two ranges must not overlap.
void XorInto(void* target, const void* source, size_t length);

// The same one byte at a time: the plain reference the fast path is held to.
void XorIntoBytewise(void* target, const void* source, size_t length);
