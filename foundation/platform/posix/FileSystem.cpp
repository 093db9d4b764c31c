// The file system over POSIX calls. Paths arrive in program text (UTF-8, as
// the system's names are) with the backslash that the program puts between
// the components of stored names; this is the one place that turns them into
// the system's form with slashes, and that checks the names it lists.
#include "../FileSystem.h"
#include "Posix.h"
#include "PosixText.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

const TPathStyle NativePathStyle = TPathStyle::Posix;

namespace {

// 100-nanosecond ticks from 1601-01-01 to 1970-01-01.
constexpr int64_t UnixEpochTicks = 116444736000000000LL;
constexpr int64_t TicksPerSecond = 10000000;

std::string NativePath(const std::string& path) {
    return WithSlashes(OsSystemNameFromText(path));
}

void SetName(TEntryInfo& info, const std::string& systemName) {
    info.NameFault = OsTextFromSystemName(systemName, info.Name);
}

TFileTime ToFileTime(const timespec& t) {
    const int64_t ticks = static_cast<int64_t>(t.tv_sec) * TicksPerSecond + t.tv_nsec / 100 + UnixEpochTicks;
    return MakeFileTime(ticks < 0 ? 0 : static_cast<uint64_t>(ticks));
}

timespec ToTimespec(const TFileTime& time) {
    const int64_t ticks = static_cast<int64_t>(FileTimeValue(time) & 0x7FFFFFFFFFFFFFFFull) - UnixEpochTicks;
    int64_t seconds = ticks / TicksPerSecond;
    int64_t rest = ticks % TicksPerSecond;
    if (rest < 0) {
        rest += TicksPerSecond;
        --seconds;
    }
    timespec t;
    t.tv_sec = static_cast<time_t>(seconds);
    t.tv_nsec = static_cast<long>(rest * 100);
    return t;
}

// The times that futimens and utimensat take: the access time left alone,
// the last-write time set.
struct TWriteTime {
    explicit TWriteTime(const TFileTime& time) {
        Times[0].tv_sec = 0;
        Times[0].tv_nsec = UTIME_OMIT;
        Times[1] = ToTimespec(time);
    }
    timespec Times[2];
};

// A stat result as an entry; devices, FIFOs and sockets are of no kind the
// program stores.
void FillEntry(const struct stat& st, TEntryInfo& info) {
    if (S_ISDIR(st.st_mode))
        info.Kind = TEntryKind::Directory;
    else if (S_ISREG(st.st_mode))
        info.Kind = TEntryKind::File;
    else
        info.Kind = TEntryKind::Other;
    info.Size = S_ISREG(st.st_mode) ? static_cast<int64_t>(st.st_size) : 0;
    info.LastWriteTime = ToFileTime(st.st_mtim);
}

// Follows a link to what it points at; a link that points nowhere is
// reported as itself.
bool StatEntry(int dirFd, const char* name, TEntryInfo& info) {
    struct stat st;
    if (fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    info.IsLink = S_ISLNK(st.st_mode);
    if (info.IsLink) {
        struct stat target;
        if (fstatat(dirFd, name, &target, 0) == 0)
            st = target;
    }
    FillEntry(st, info);
    return true;
}

}  // namespace

TOsHandle OsOpenFile(const std::string& path, TOpenMode mode, TOsError& error) {
    if (InjectedError(mode == TOpenMode::OpenForReading ? TFileOperation::Open : TFileOperation::Create, error))
        return InvalidOsHandle;
    int flags = O_CLOEXEC;
    switch (mode) {
    case TOpenMode::CreateForWriting: flags |= O_WRONLY | O_CREAT | O_TRUNC; break;
    case TOpenMode::CreateNew: flags |= O_WRONLY | O_CREAT | O_EXCL; break;
    case TOpenMode::OpenForWriting: flags |= O_WRONLY; break;
    case TOpenMode::OpenForReading: flags |= O_RDONLY; break;
    }
    const int fd = open(NativePath(path).c_str(), flags, 0666);
    if (fd < 0) {
        Failed(error);
        return InvalidOsHandle;
    }
    // A directory opens for reading here, but holds no bytes to copy.
    struct stat st;
    const bool known = mode == TOpenMode::OpenForReading && fstat(fd, &st) == 0;
    if (known && S_ISDIR(st.st_mode)) {
        close(fd);
        error = OsErrorFromCode(EISDIR);
        return InvalidOsHandle;
    }
    // Files are read from front to back once: the system may read ahead
    // further. Only advice, and only where it can pay: for the small files
    // of a tree it is one more call each and nothing to read ahead.
    constexpr off_t LargeFile = 1 << 20;
    if (known && st.st_size >= LargeFile)
        posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    return reinterpret_cast<TOsHandle>(static_cast<intptr_t>(fd));
}

bool OsRead(TOsHandle file, void* buffer, uint32_t count, uint32_t& done, TOsError& error) {
    done = 0;
    if (InjectedError(TFileOperation::Read, error))
        return false;
    ssize_t got;
    do {
        got = read(AsDescriptor(file), buffer, count);
    } while (got < 0 && errno == EINTR);
    if (got < 0)
        return Failed(error);
    done = static_cast<uint32_t>(got);
    return true;
}

bool OsWrite(TOsHandle file, const void* buffer, uint32_t count, uint32_t& done, TOsError& error) {
    done = 0;
    const TFileFault fault = InjectedFault(TFileOperation::Write);
    if (fault.Error != 0) {
        error = OsErrorFromCode(fault.Error);
        return false;
    }
    count = count > fault.ShortWriteBy ? count - fault.ShortWriteBy : 0;
    ssize_t put;
    do {
        put = write(AsDescriptor(file), buffer, count);
    } while (put < 0 && errno == EINTR);
    if (put < 0)
        return Failed(error);
    done = static_cast<uint32_t>(put);
    return true;
}

bool OsSeek(TOsHandle file, int64_t offset, TSeekOrigin origin, int64_t& position, TOsError& error) {
    if (InjectedError(TFileOperation::Seek, error))
        return false;
    if (static_cast<uint8_t>(origin) > static_cast<uint8_t>(TSeekOrigin::End)) {
        error = OsErrorFromCode(EINVAL);
        return false;
    }
    const int whence = origin == TSeekOrigin::Begin ? SEEK_SET : origin == TSeekOrigin::Current ? SEEK_CUR : SEEK_END;
    const off_t moved = lseek(AsDescriptor(file), static_cast<off_t>(offset), whence);
    if (moved < 0)
        return Failed(error);
    position = static_cast<int64_t>(moved);
    return true;
}

bool OsFileSize(TOsHandle file, int64_t& size, TOsError& error) {
    if (InjectedError(TFileOperation::Seek, error))
        return false;
    struct stat st;
    if (fstat(AsDescriptor(file), &st) != 0)
        return Failed(error);
    size = static_cast<int64_t>(st.st_size);
    return true;
}

bool OsSetLastWriteTime(TOsHandle file, const TFileTime& time, TOsError& error) {
    if (InjectedError(TFileOperation::SetTime, error))
        return false;
    const TWriteTime times(time);
    return futimens(AsDescriptor(file), times.Times) == 0 || Failed(error);
}

TOsHandle OsStandardStream(TStandardStream which, TOsError& error) {
    const int fd = fcntl(which == TStandardStream::Input ? STDIN_FILENO : STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
    if (fd < 0) {
        Failed(error);
        return InvalidOsHandle;
    }
    return reinterpret_cast<TOsHandle>(static_cast<intptr_t>(fd));
}

void OsRelease(TOsHandle file) {
    close(AsDescriptor(file));
}

bool OsClose(TOsHandle file, TOsError& error) {
    // Closed even when the fault is injected, so that no descriptor leaks.
    const bool injected = InjectedError(TFileOperation::Close, error);
    // On Linux the descriptor is gone even when close fails: it is never
    // closed twice.
    if (close(AsDescriptor(file)) != 0 && !injected)
        return Failed(error);
    return !injected;
}

bool OsQueryPath(const std::string& path, TEntryInfo& info) {
    const std::string native = NativePath(path);
    const size_t slash = native.find_last_of('/');
    SetName(info, slash == std::string::npos ? native : native.substr(slash + 1));
    return StatEntry(AT_FDCWD, native.c_str(), info);
}

bool OsFullPath(const std::string& path, std::string& full) {
    // Program text throughout: the result is a path the program goes on with.
    std::string whole = WithSlashes(path);
    if (whole.empty() || whole[0] != '/') {
        std::vector<char> cwd(4096);
        while (!getcwd(cwd.data(), cwd.size())) {
            if (errno != ERANGE)
                return false;
            cwd.resize(cwd.size() * 2);
        }
        // The working directory in program text; one that has none cannot
        // be written in front of a relative path.
        std::string dir;
        if (OsTextFromSystemName(cwd.data(), dir) != TNameFault::None)
            return false;
        whole = dir + "/" + whole;
    }
    // "." and ".." resolved by the text, as GetFullPathName does on Windows.
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= whole.size()) {
        size_t end = whole.find('/', start);
        if (end == std::string::npos)
            end = whole.size();
        const std::string part = whole.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    full.clear();
    for (const std::string& part : parts)
        full += "/" + part;
    if (full.empty())
        full = "/";
    return true;
}

struct TDirectoryReader::TState {
    DIR* Dir = nullptr;
    // The names in the order a Windows file system lists them (letter case
    // ignored, as NTFS orders its index), so that a tree's header lists its
    // entries as the Windows program's does: readdir's order is the
    // file system's own.
    std::vector<std::string> Names;
    size_t NextName = 0;
    bool Listed = false;
};

bool OsDirectoryIdentity(const std::string& dir, TDirectoryIdentity& identity, TOsError& error) {
    struct stat st;
    if (stat(NativePath(dir).c_str(), &st) != 0)
        return Failed(error);
    identity.Volume = static_cast<uint64_t>(st.st_dev);
    identity.Index = static_cast<uint64_t>(st.st_ino);
    return true;
}

TDirectoryReader::TDirectoryReader(const std::string& dir) : State(std::make_unique<TState>()) {
    if (InjectedError(TFileOperation::List, Error))
        return;
    State->Dir = opendir(NativePath(dir.empty() ? "." : dir).c_str());
    if (!State->Dir)
        Failed(Error);
}

TDirectoryReader::~TDirectoryReader() {
    if (State->Dir)
        closedir(State->Dir);
}

bool TDirectoryReader::IsOpen() const {
    return State->Dir != nullptr;
}

bool TDirectoryReader::Next(TEntryInfo& entry) {
    if (!State->Dir)
        return false;
    if (!State->Listed) {
        State->Listed = true;
        for (;;) {
            errno = 0;
            const dirent* found = readdir(State->Dir);
            if (!found) {
                if (errno != 0)
                    return Failed(Error);
                break;
            }
            const std::string name = found->d_name;
            if (name != "." && name != "..")
                State->Names.push_back(name);
        }
        // Each name's key once, not once per comparison.
        std::vector<std::pair<std::u16string, std::string>> keyed;
        keyed.reserve(State->Names.size());
        for (std::string& name : State->Names) {
            std::string text;
            OsTextFromSystemName(name, text);
            keyed.emplace_back(OsNameOrderKey(text), std::move(name));
        }
        std::sort(keyed.begin(), keyed.end());
        for (size_t i = 0; i < keyed.size(); ++i)
            State->Names[i] = std::move(keyed[i].second);
    }
    while (State->NextName < State->Names.size()) {
        const std::string& name = State->Names[State->NextName++];
        entry = TEntryInfo();
        SetName(entry, name);
        // An entry that vanished between the listing and the look-up is
        // left out, as it would be had it gone a moment earlier.
        if (StatEntry(dirfd(State->Dir), name.c_str(), entry))
            return true;
    }
    return false;
}

TFileTime OsCurrentFileTime() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return ToFileTime(now);
}

bool OsSetPathLastWriteTime(const std::string& path, const TFileTime& time, TOsError& error) {
    if (InjectedError(TFileOperation::SetTime, error))
        return false;
    const TWriteTime times(time);
    return utimensat(AT_FDCWD, NativePath(path).c_str(), times.Times, 0) == 0 || Failed(error);
}

bool OsCreateDirectory(const std::string& path, TOsError& error) {
    if (InjectedError(TFileOperation::MakeDirectory, error))
        return false;
    return mkdir(NativePath(path).c_str(), 0777) == 0 || Failed(error);
}

bool OsDeleteFile(const std::string& path, TOsError& error) {
    return unlink(NativePath(path).c_str()) == 0 || Failed(error);
}

bool OsCopyFileNoReplace(const std::string& from, const std::string& to, TOsError& error) {
    if (InjectedError(TFileOperation::Copy, error))
        return false;
    const int in = open(NativePath(from).c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return Failed(error);
    struct stat st;
    if (fstat(in, &st) != 0) {
        Failed(error);
        close(in);
        return false;
    }
    const std::string target = NativePath(to);
    const int out = open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 0777);
    if (out < 0) {
        Failed(error);
        close(in);
        return false;
    }
    std::vector<char> buffer(1 << 17);
    bool ok = true;
    for (;;) {
        const ssize_t got = read(in, buffer.data(), buffer.size());
        if (got == 0)
            break;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            ok = Failed(error);
            break;
        }
        ssize_t offset = 0;
        while (ok && offset < got) {
            const ssize_t put = write(out, buffer.data() + offset, static_cast<size_t>(got - offset));
            if (put < 0 && errno != EINTR)
                ok = Failed(error);
            else if (put > 0)
                offset += put;
        }
        if (!ok)
            break;
    }
    // The copy keeps the original's time, as a copy on Windows does.
    const timespec times[2] = {st.st_atim, st.st_mtim};
    if (ok)
        futimens(out, times);
    if (close(out) != 0 && ok)
        ok = Failed(error);
    close(in);
    // Half a copy is no copy: what this call created goes again.
    if (!ok)
        unlink(target.c_str());
    return ok;
}

TVolumeKind OsVolumeKind(const std::string& root) {
    struct stat st;
    return stat(NativePath(root.empty() ? "/" : root).c_str(), &st) == 0 ? TVolumeKind::Fixed : TVolumeKind::NoRoot;
}
