// Copies that Linux makes inside the kernel, or with one copy of each byte.
// Bytes that nobody needs to see go through copy_file_range, which clones
// blocks where the file system shares them (XFS, btrfs) and otherwise copies
// them once, in the kernel. Bytes that must be seen (a CRC needs every one)
// are cloned where the blocks can be shared, and the CRC is their one read;
// elsewhere they are written from a mapping of the source on a second
// thread while this one shows them from the same pages: one copy, where a
// read and a write make two.
#include "../SystemCopy.h"
#include "../WorkerThread.h"
#include "MappedFile.h"
#include "Posix.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#if defined(__linux__)
#include <linux/fs.h>
#endif

#include <algorithm>
#include <cerrno>

namespace {

// copy_file_range and pread take a size_t, but a kernel moves at most
// about 2 GiB in one call anyway.
constexpr uint64_t LargestStep = 1 << 30;

// The most of a source mapped at once. Mapped pages count as the process's
// own while they stay mapped: a window this size keeps its memory flat and
// small, and is still a thousand times the cost of starting a step.
constexpr uint64_t MappedWindow = 8 << 20;

#if defined(__linux__)
ssize_t KernelCopyStep(int in, int out, size_t count) {
    return copy_file_range(in, nullptr, out, nullptr, count, 0);
}

int CloneRange(int in, uint64_t inOffset, uint64_t length, int out, uint64_t outOffset) {
    file_clone_range range{in, inOffset, length, outOffset};
    return ioctl(out, FICLONERANGE, &range);
}
#else
ssize_t KernelCopyStep(int, int, size_t) {
    errno = ENOSYS;
    return -1;
}

int CloneRange(int, uint64_t, uint64_t, int, uint64_t) {
    errno = ENOSYS;
    return -1;
}
#endif

// What the kernel answers when it does not copy or clone between these two
// files at all: another file system, one that shares no blocks, a kind of
// file it cannot copy, ranges not on block boundaries, no such call.
bool NotCopiedHere(int code) {
    return code == EXDEV || code == EINVAL || code == ENOSYS || code == EOPNOTSUPP || code == ENOTTY ||
           code == EBADF || code == EISDIR || code == ESPIPE;
}

// A call of the system's, asked again where a signal broke into it.
template <class TCall>
ssize_t Uninterrupted(TCall call) {
    ssize_t n;
    do {
        n = call();
    } while (n < 0 && errno == EINTR);
    return n;
}

// One step, as a read is one call: a short count is the caller's to ask
// again for, and an ask at the end of the file learns that with one call.
bool KernelCopy(int in, int out, uint64_t count, uint64_t& done, TOsError& error) {
    const ssize_t n =
        Uninterrupted([&] { return KernelCopyStep(in, out, static_cast<size_t>(std::min(count, LargestStep))); });
    if (n < 0)
        return NotCopiedHere(errno) ? false : Failed(errno, error);
    done = static_cast<uint64_t>(n);
    return true;
}

// Shows length bytes of in from offset, which the clone made the part's own.
int ShowBytes(int in, off_t offset, uint64_t length, char* buffer, uint32_t bufferSize, const TBytesSeen& see) {
    uint64_t seen = 0;
    while (seen < length) {
        const size_t ask = static_cast<size_t>(std::min<uint64_t>(length - seen, bufferSize));
        const ssize_t got = Uninterrupted([&] { return pread(in, buffer, ask, offset + static_cast<off_t>(seen)); });
        if (got < 0)
            return errno;
        // The source lost bytes that the clone still holds: what the part
        // holds can no longer be shown.
        if (got == 0)
            return EIO;
        see(buffer, static_cast<uint32_t>(got));
        seen += static_cast<uint64_t>(got);
    }
    return 0;
}

// Shows what the clone made the part's own from a mapping, or through buffer
// where the system maps nothing.
int ShowCloned(int in, off_t offset, uint64_t length, char* buffer, uint32_t bufferSize, const TBytesSeen& see) {
    for (uint64_t done = 0; done < length;) {
        const uint64_t step = std::min(length - done, MappedWindow);
        const off_t at = offset + static_cast<off_t>(done);
        const TMappedRange range(in, at, step);
        const int error = range.Bytes() ? ShowMapped(range, see) : ShowBytes(in, at, step, buffer, bufferSize, see);
        if (error != 0)
            return error;
        done += step;
    }
    return 0;
}

// Where a source whose bytes must be seen stands, found once for both ways
// of copying them.
struct TSourceAt {
    off_t At = 0;
    off_t Size = 0;
    uint64_t Block = 4096;
};

// False for a source that is no regular file at a position (a pipe, a
// device): the caller reads it.
bool LocateSource(int in, TSourceAt& source) {
    struct stat st;
    source.At = lseek(in, 0, SEEK_CUR);
    if (source.At < 0 || fstat(in, &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    source.Size = st.st_size;
    if (st.st_blksize > 0)
        source.Block = static_cast<uint64_t>(st.st_blksize);
    return true;
}

bool CloneAndShow(int in, const TSourceAt& source, int out, uint64_t count, char* buffer, uint32_t bufferSize,
                  const TBytesSeen& see, uint64_t& done, TOsError& error) {
    const off_t inAt = source.At;
    const off_t outAt = lseek(out, 0, SEEK_CUR);
    if (outAt < 0)
        return NotCopiedHere(errno) ? false : Failed(errno, error);
    uint64_t length = std::min(count, static_cast<uint64_t>(source.Size - inAt));
    // A clone takes whole blocks, unless it runs to the end of the source.
    if (static_cast<uint64_t>(inAt) + length < static_cast<uint64_t>(source.Size))
        length -= length % source.Block;
    if (length == 0)
        return false;
    if (CloneRange(in, static_cast<uint64_t>(inAt), length, out, static_cast<uint64_t>(outAt)) != 0)
        return NotCopiedHere(errno) ? false : Failed(errno, error);
    // The clone moves neither position.
    if (lseek(in, inAt + static_cast<off_t>(length), SEEK_SET) < 0 ||
        lseek(out, outAt + static_cast<off_t>(length), SEEK_SET) < 0)
        return Failed(errno, error);
    done = length;
    const int readError = ShowCloned(in, inAt, length, buffer, bufferSize, see);
    return readError == 0 || Failed(readError, error);
}

// The worker that writes while the calling thread shows, kept as long as
// that thread: a split asks for a copy for every part, and a thread for
// each would cost more than the copy of a diskette's part.
TWorkerThread& CopyWorker() {
    static thread_local TWorkerThread worker;
    return worker;
}

// The whole range, written to out at its position; 0 or the error number.
int WriteMapped(int out, const TMappedRange& range, uint64_t& written) {
    written = 0;
    while (written < range.Length()) {
        const size_t ask = static_cast<size_t>(std::min(range.Length() - written, LargestStep));
        const ssize_t n = Uninterrupted([&] { return write(out, range.Bytes() + written, ask); });
        if (n < 0)
            return errno;
        if (n == 0)
            return ENOSPC;
        written += static_cast<uint64_t>(n);
    }
    return 0;
}

// Why a page of the source's mapping could not be had, which the fault does
// not say: the source lost it (it was cut short), the memory it needs is not
// there (a hole of a file on a full tmpfs takes a new page), or the disk
// could not read it.
int MappingFault(int in, int out, uint64_t end, TCopyFailure& failed) {
    struct stat st;
    struct statvfs space;
    failed = TCopyFailure::Source;
    if (fstat(in, &st) == 0 && static_cast<uint64_t>(st.st_size) < end)
        return EIO;
    if (fstatvfs(out, &space) == 0 && space.f_bavail == 0) {
        failed = TCopyFailure::Destination;
        return ENOSPC;
    }
    return EIO;
}

bool WriteAndShow(int in, const TSourceAt& source, int out, uint64_t count, const TBytesSeen& see, uint64_t& done,
                  TOsError& error, TCopyFailure& failed) {
    const off_t inAt = source.At;
    const TMappedRange range(in, inAt, std::min({count, MappedWindow, static_cast<uint64_t>(source.Size - inAt)}));
    if (!range.Bytes())
        return false;
    uint64_t written = 0;
    int writeError = 0;
    int showError = 0;
    CopyWorker().RunAlongside([&] { writeError = WriteMapped(out, range, written); },
                              [&] { showError = ShowMapped(range, see); });
    done = written;
    failed = TCopyFailure::Source;
    if (lseek(in, inAt + static_cast<off_t>(written), SEEK_SET) < 0)
        return Failed(error);
    // A write that met a page it could not have says EFAULT, as the show
    // says EIO when it meets one first.
    if (showError != 0 || writeError == EFAULT)
        return Failed(MappingFault(in, out, static_cast<uint64_t>(inAt) + range.Length(), failed), error);
    failed = TCopyFailure::Destination;
    return writeError == 0 || Failed(writeError, error);
}

}  // namespace

bool OsCopyInSystem(TOsHandle from, TOsHandle to, uint64_t count, char* buffer, uint32_t bufferSize,
                    const TBytesSeen& see, uint64_t& done, TOsError& error, TCopyFailure& failed) {
    done = 0;
    error = TOsError();
    failed = TCopyFailure::EitherFile;
    if (InjectedError(TFileOperation::Read, error))
        return false;
    // A write that takes fewer bytes than it is given is what a full disk
    // does; a copy has no short write of its own to show it with.
    if (const TFileFault fault = InjectedFault(TFileOperation::Write); fault.Error != 0 || fault.ShortWriteBy != 0)
        return Failed(fault.Error != 0 ? static_cast<int>(fault.Error) : ENOSPC, error);
    const int in = AsDescriptor(from);
    const int out = AsDescriptor(to);
    if (!see)
        return KernelCopy(in, out, count, done, error);
    TSourceAt source;
    if (!LocateSource(in, source))
        return false;
    if (source.At >= source.Size)
        return true;
    if (CloneAndShow(in, source, out, count, buffer, bufferSize, see, done, error) ||
        error.Kind != TOsErrorKind::None)
        return error.Kind == TOsErrorKind::None;
    return WriteAndShow(in, source, out, count, see, done, error, failed);
}
