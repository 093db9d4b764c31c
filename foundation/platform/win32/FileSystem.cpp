#include "../FileSystem.h"

#include "WidePaths.h"

#include <windows.h>

static_assert(sizeof(TFileTime) == sizeof(FILETIME), "TFileTime mirrors FILETIME");

const TPathStyle NativePathStyle = TPathStyle::Windows;

namespace {

HANDLE AsHandle(TOsHandle file) {
    return static_cast<HANDLE>(file);
}

TFileTime FromFileTime(const FILETIME& ft) {
    TFileTime t;
    t.dwLowDateTime = ft.dwLowDateTime;
    t.dwHighDateTime = ft.dwHighDateTime;
    return t;
}

int64_t SizeOf(DWORD high, DWORD low) {
    return static_cast<int64_t>((static_cast<uint64_t>(high) << 32) | low);
}

TEntryKind KindOf(DWORD attributes) {
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? TEntryKind::Directory : TEntryKind::File;
}

// The last error of the system, taken before anything else can change it.
bool Failed(TOsError& error) {
    error = OsErrorFromCode(GetLastError());
    return false;
}

}  // namespace

TOsHandle OsOpenFile(const std::string& path, TOpenMode mode, TOsError& error) {
    if (InjectedError(mode == TOpenMode::OpenForReading ? TFileOperation::Open : TFileOperation::Create, error))
        return InvalidOsHandle;
    HANDLE handle = INVALID_HANDLE_VALUE;
    switch (mode) {
    case TOpenMode::CreateForWriting:
        handle = CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        break;
    case TOpenMode::CreateNew:
        handle = CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        break;
    case TOpenMode::OpenForWriting:
        handle = CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        break;
    case TOpenMode::OpenForReading:
        handle = CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        break;
    }
    if (handle == INVALID_HANDLE_VALUE) {
        Failed(error);
        return InvalidOsHandle;
    }
    return handle;
}

bool OsRead(TOsHandle file, void* buffer, uint32_t count, uint32_t& done, TOsError& error) {
    done = 0;
    if (InjectedError(TFileOperation::Read, error))
        return false;
    DWORD got = 0;
    const BOOL ok = ReadFile(AsHandle(file), buffer, count, &got, nullptr);
    done = got;
    return ok != FALSE || Failed(error);
}

bool OsWrite(TOsHandle file, const void* buffer, uint32_t count, uint32_t& done, TOsError& error) {
    done = 0;
    const TFileFault fault = InjectedFault(TFileOperation::Write);
    if (fault.Error != 0) {
        error = OsErrorFromCode(fault.Error);
        return false;
    }
    count = count > fault.ShortWriteBy ? count - fault.ShortWriteBy : 0;
    DWORD put = 0;
    const BOOL ok = WriteFile(AsHandle(file), buffer, count, &put, nullptr);
    done = put;
    return ok != FALSE || Failed(error);
}

bool OsSeek(TOsHandle file, int64_t offset, TSeekOrigin origin, int64_t& position, TOsError& error) {
    if (InjectedError(TFileOperation::Seek, error))
        return false;
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    LARGE_INTEGER moved;
    if (!SetFilePointerEx(AsHandle(file), distance, &moved, static_cast<DWORD>(origin)))
        return Failed(error);
    position = moved.QuadPart;
    return true;
}

bool OsFileSize(TOsHandle file, int64_t& size, TOsError& error) {
    if (InjectedError(TFileOperation::Seek, error))
        return false;
    LARGE_INTEGER value;
    if (!GetFileSizeEx(AsHandle(file), &value))
        return Failed(error);
    size = value.QuadPart;
    return true;
}

bool OsSetLastWriteTime(TOsHandle file, const TFileTime& time, TOsError& error) {
    if (InjectedError(TFileOperation::SetTime, error))
        return false;
    FILETIME ft;
    ft.dwLowDateTime = time.dwLowDateTime;
    ft.dwHighDateTime = time.dwHighDateTime;
    return SetFileTime(AsHandle(file), nullptr, nullptr, &ft) != FALSE || Failed(error);
}

TOsHandle OsStandardStream(TStandardStream which, TOsError& error) {
    const HANDLE own = GetStdHandle(which == TStandardStream::Input ? STD_INPUT_HANDLE : STD_OUTPUT_HANDLE);
    HANDLE copy = INVALID_HANDLE_VALUE;
    if (own == nullptr || own == INVALID_HANDLE_VALUE ||
        !DuplicateHandle(GetCurrentProcess(), own, GetCurrentProcess(), &copy, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
        Failed(error);
        return InvalidOsHandle;
    }
    return copy;
}

void OsRelease(TOsHandle file) {
    CloseHandle(AsHandle(file));
}

bool OsClose(TOsHandle file, TOsError& error) {
    // Closed even when the fault is injected, so that no handle leaks.
    const bool injected = InjectedError(TFileOperation::Close, error);
    if (!CloseHandle(AsHandle(file)) && !injected)
        return Failed(error);
    return !injected;
}

bool OsQueryPath(const std::string& path, TEntryInfo& info) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(WidePath(path).c_str(), GetFileExInfoStandard, &data))
        return false;
    info.Kind = KindOf(data.dwFileAttributes);
    info.Size = SizeOf(data.nFileSizeHigh, data.nFileSizeLow);
    info.LastWriteTime = FromFileTime(data.ftLastWriteTime);
    info.IsLink = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    return true;
}

bool OsFullPath(const std::string& path, std::string& full) {
    std::wstring wide;
    if (!ProcessTextToWide(path, wide))
        return false;
    std::wstring absolute;
    return FullWidePath(wide, absolute) && WideToProcessText(absolute, full);
}

struct TDirectoryReader::TState {
    HANDLE Find = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAW Data;
    // The system hands out the first entry with the handle.
    bool HavePending = false;
    bool Empty = false;
};

bool OsDirectoryIdentity(const std::string& dir, TDirectoryIdentity& identity, TOsError& error) {
    // Without FILE_FLAG_OPEN_REPARSE_POINT the handle is that of the
    // directory a link leads to.
    const HANDLE handle = CreateFileW(WidePath(dir).c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return Failed(error);
    BY_HANDLE_FILE_INFORMATION information;
    const bool ok = GetFileInformationByHandle(handle, &information) != FALSE || Failed(error);
    CloseHandle(handle);
    if (ok) {
        identity.Volume = information.dwVolumeSerialNumber;
        identity.Index = (static_cast<uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow;
    }
    return ok;
}

TDirectoryReader::TDirectoryReader(const std::string& dir) : State(std::make_unique<TState>()) {
    if (InjectedError(TFileOperation::List, Error))
        return;
    const std::string pattern = (dir.empty() || dir.back() == '\\' ? dir : dir + '\\') + "*.*";
    State->Find = FindFirstFileW(WidePath(pattern).c_str(), &State->Data);
    if (State->Find != INVALID_HANDLE_VALUE) {
        State->HavePending = true;
        return;
    }
    // A drive root has no "." entry: a pattern that matches nothing there
    // is an empty directory, not a failure.
    const DWORD code = GetLastError();
    if (code == ERROR_FILE_NOT_FOUND || code == ERROR_NO_MORE_FILES)
        State->Empty = true;
    else
        Error = OsErrorFromCode(code);
}

TDirectoryReader::~TDirectoryReader() {
    if (State->Find != INVALID_HANDLE_VALUE)
        FindClose(State->Find);
}

bool TDirectoryReader::IsOpen() const {
    return State->Find != INVALID_HANDLE_VALUE || State->Empty;
}

bool TDirectoryReader::Next(TEntryInfo& entry) {
    if (State->Find == INVALID_HANDLE_VALUE)
        return false;
    for (;;) {
        if (!State->HavePending && !FindNextFileW(State->Find, &State->Data)) {
            const DWORD code = GetLastError();
            if (code != ERROR_NO_MORE_FILES)
                Error = OsErrorFromCode(code);
            return false;
        }
        State->HavePending = false;
        const WIN32_FIND_DATAW& data = State->Data;
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        // A name the process code page cannot hold comes out with a '?',
        // which no Windows name contains: the scan refuses it by that.
        entry.Name = NameInProcessText(name);
        entry.Kind = KindOf(data.dwFileAttributes);
        entry.Size = SizeOf(data.nFileSizeHigh, data.nFileSizeLow);
        entry.LastWriteTime = FromFileTime(data.ftLastWriteTime);
        entry.IsLink = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        return true;
    }
}

TFileTime OsCurrentFileTime() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return TFileTime{now.dwLowDateTime, now.dwHighDateTime};
}

bool OsSetPathLastWriteTime(const std::string& path, const TFileTime& time, TOsError& error) {
    if (InjectedError(TFileOperation::SetTime, error))
        return false;
    // Backup semantics open a directory as well as a file.
    const HANDLE handle = CreateFileW(WidePath(path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return Failed(error);
    FILETIME ft;
    ft.dwLowDateTime = time.dwLowDateTime;
    ft.dwHighDateTime = time.dwHighDateTime;
    const bool ok = SetFileTime(handle, nullptr, nullptr, &ft) != FALSE || Failed(error);
    CloseHandle(handle);
    return ok;
}

bool OsCreateDirectory(const std::string& path, TOsError& error) {
    if (InjectedError(TFileOperation::MakeDirectory, error))
        return false;
    return CreateDirectoryW(WidePath(path).c_str(), nullptr) != FALSE || Failed(error);
}

bool OsDeleteFile(const std::string& path, TOsError& error) {
    return DeleteFileW(WidePath(path).c_str()) != FALSE || Failed(error);
}

bool OsCopyFileNoReplace(const std::string& from, const std::string& to, TOsError& error) {
    if (InjectedError(TFileOperation::Copy, error))
        return false;
    return CopyFileW(WidePath(from).c_str(), WidePath(to).c_str(), TRUE) != FALSE || Failed(error);
}

TVolumeKind OsVolumeKind(const std::string& root) {
    switch (GetDriveTypeW(WidePath(root).c_str())) {
    case DRIVE_NO_ROOT_DIR: return TVolumeKind::NoRoot;
    case DRIVE_REMOVABLE: return TVolumeKind::Removable;
    case DRIVE_FIXED: return TVolumeKind::Fixed;
    case DRIVE_REMOTE: return TVolumeKind::Remote;
    case DRIVE_CDROM: return TVolumeKind::CdRom;
    case DRIVE_RAMDISK: return TVolumeKind::RamDisk;
    default: return TVolumeKind::Unknown;
    }
}
