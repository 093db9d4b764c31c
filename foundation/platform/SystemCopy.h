// A copy that the system makes itself, without the bytes passing through the
// program: on Linux the kernel moves them, and a file system that can share
// blocks (XFS, btrfs) clones them instead of writing them again. Where the
// system cannot, or would gain nothing, the caller moves the bytes through
// its own reads and writes.
#pragma once

#include "FileSystem.h"

#include <cstdint>
#include <functional>

// The bytes of a copy as they pass, in order, shown on the thread that asked
// for the copy.
using TBytesSeen = std::function<void(const char* data, uint32_t count)>;

// Which of the two files a failed copy is about, where the system tells.
enum class TCopyFailure { EitherFile, Source, Destination };

// Copies up to count bytes from the position of from to the position of to,
// moving both on; done is what was copied, fewer where from ends (or at a
// boundary the system copies up to). When see is set, the bytes copied are
// also shown to it, in order, on the calling thread: the system takes such a
// copy where it makes one copy of each byte or none (shared blocks, or a
// write from a mapping of the source) and buffer (bufferSize bytes) may
// carry them on the way.
//
// False with error.Kind None, having copied and shown nothing, where the
// system does not copy between these two files (or not these ranges of
// them): the caller moves the bytes itself. False with a kind is a
// failure, and done says how much was copied before it; failed says of
// which file, where the system knows.
bool OsCopyInSystem(TOsHandle from, TOsHandle to, uint64_t count, char* buffer, uint32_t bufferSize,
                    const TBytesSeen& see, uint64_t& done, TOsError& error, TCopyFailure& failed);
