// Small replacements for library facilities that the program would otherwise
// pull in whole: the drive or share root of a path, ownership release, Min64
// and the raw buffer pair used for system calls that report their length.
#pragma once

#include "platform/PathStyle.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The drive ("D:") or share ("\\server\share") at the start of a path,
// without a trailing backslash; in the Posix style "/" for an absolute path.
// Empty when there is none.
std::string PathRoot(const std::string& path, TPathStyle style);
inline std::string PathRoot(const std::string& path) { return PathRoot(path, TPathStyle::Windows); }

// Clears the holder first and destroys the object afterwards, so that code
// running in the destructor never sees a half-destroyed object in the holder.
template <typename T>
void FreeAndClear(std::unique_ptr<T>& holder) {
    std::unique_ptr<T> doomed(holder.release());
    doomed.reset();
}

inline int64_t Min64(int64_t a, int64_t b) { return a < b ? a : b; }

// The buffer that file contents pass through, starting on a page boundary:
// the system copies into and out of such a buffer at full speed, and one that
// is not aligned (the allocator's own header shifts a large block) measured
// at a third of it.
class TPageBuffer {
public:
    explicit TPageBuffer(size_t size) : Storage(size + PageSize) {
        const uintptr_t address = reinterpret_cast<uintptr_t>(Storage.data());
        Start = Storage.data() + (PageSize - address % PageSize) % PageSize;
    }
    char* data() { return Start; }

private:
    static constexpr size_t PageSize = 4096;
    std::vector<char> Storage;
    char* Start;
};

