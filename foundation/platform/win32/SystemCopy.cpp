// Windows has no copy between two open files at their positions that is
// cheaper than the program's own reads and writes: the caller moves the bytes.
#include "../SystemCopy.h"

bool OsCopyInSystem(TOsHandle, TOsHandle, uint64_t, char*, uint32_t, const TBytesSeen&, uint64_t& done,
                    TOsError& error, TCopyFailure& failed) {
    done = 0;
    error = TOsError();
    failed = TCopyFailure::EitherFile;
    return false;
}
