#include "../FileSystem.h"

#include <windows.h>

#include <cstring>

static_assert(sizeof(TFileTime) == sizeof(FILETIME), "TFileTime mirrors FILETIME");

namespace {

FILETIME ToFileTime(const TFileTime& t) {
    FILETIME ft;
    ft.dwLowDateTime = t.dwLowDateTime;
    ft.dwHighDateTime = t.dwHighDateTime;
    return ft;
}

void CopyFindData(const WIN32_FIND_DATAA& from, TFindData& to) {
    to.dwFileAttributes = from.dwFileAttributes;
    to.ftLastWriteTime.dwLowDateTime = from.ftLastWriteTime.dwLowDateTime;
    to.ftLastWriteTime.dwHighDateTime = from.ftLastWriteTime.dwHighDateTime;
    to.nFileSizeHigh = from.nFileSizeHigh;
    to.nFileSizeLow = from.nFileSizeLow;
    to.cFileName = from.cFileName;
}

TFileFaultHook& FaultHook() {
    static TFileFaultHook hook;
    return hook;
}

TFileFault Fault(TFileOperation operation) {
    return FaultHook() ? FaultHook()(operation) : TFileFault();
}

}  // namespace

void SetFileFaultHook(TFileFaultHook hook) {
    FaultHook() = std::move(hook);
}

TOsHandle OsCreateFile(const std::string& name, TOpenMode mode) {
    const TFileFault fault =
        Fault(mode == TOpenMode::OpenForReading ? TFileOperation::Open : TFileOperation::Create);
    if (fault.Error != 0) {
        SetLastError(fault.Error);
        return INVALID_HANDLE_VALUE;
    }
    if (mode == TOpenMode::CreateForWriting)
        return CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (mode == TOpenMode::CreateNew)
        return CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    return CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
}

bool OsReadFile(TOsHandle handle, void* buffer, uint32_t count, uint32_t& done) {
    if (const TFileFault fault = Fault(TFileOperation::Read); fault.Error != 0) {
        done = 0;
        SetLastError(fault.Error);
        return false;
    }
    DWORD got = 0;
    const BOOL ok = ReadFile(handle, buffer, count, &got, nullptr);
    done = got;
    return ok != FALSE;
}

bool OsWriteFile(TOsHandle handle, const void* buffer, uint32_t count, uint32_t& done) {
    const TFileFault fault = Fault(TFileOperation::Write);
    if (fault.Error != 0) {
        done = 0;
        SetLastError(fault.Error);
        return false;
    }
    count = count > fault.ShortWriteBy ? count - fault.ShortWriteBy : 0;
    DWORD put = 0;
    const BOOL ok = WriteFile(handle, buffer, count, &put, nullptr);
    done = put;
    return ok != FALSE;
}

uint32_t OsSetFilePointer(TOsHandle handle, int32_t low, int32_t* high, uint32_t method) {
    if (const TFileFault fault = Fault(TFileOperation::Seek); fault.Error != 0) {
        SetLastError(fault.Error);
        return INVALID_SET_FILE_POINTER;
    }
    LONG h = *high;
    const DWORD result = SetFilePointer(handle, low, &h, method);
    *high = h;
    return result;
}

bool OsSetLastWriteTime(TOsHandle handle, const TFileTime& time) {
    if (const TFileFault fault = Fault(TFileOperation::SetTime); fault.Error != 0) {
        SetLastError(fault.Error);
        return false;
    }
    const FILETIME ft = ToFileTime(time);
    return SetFileTime(handle, nullptr, nullptr, &ft) != FALSE;
}

void OsCloseHandle(TOsHandle handle) {
    CloseHandle(handle);
}

uint32_t OsGetLastError() {
    return GetLastError();
}

void OsSetLastError(uint32_t code) {
    SetLastError(code);
}

std::string OsFormatMessage(uint32_t code) {
    char buffer[1024];
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                        buffer, sizeof buffer, nullptr);
    return std::string(buffer, length);
}

uint32_t OsGetFileAttributes(const std::string& path) {
    return GetFileAttributesA(path.c_str());
}

uint32_t OsGetFullPathName(const std::string& path, uint32_t size, char* buffer) {
    return GetFullPathNameA(path.c_str(), size, buffer, nullptr);
}

TOsHandle OsFindFirstFile(const std::string& pattern, TFindData& data) {
    WIN32_FIND_DATAA found;
    const HANDLE handle = FindFirstFileA(pattern.c_str(), &found);
    if (handle != INVALID_HANDLE_VALUE)
        CopyFindData(found, data);
    return handle;
}

bool OsFindNextFile(TOsHandle handle, TFindData& data) {
    WIN32_FIND_DATAA found;
    if (!FindNextFileA(handle, &found))
        return false;
    CopyFindData(found, data);
    return true;
}

void OsFindClose(TOsHandle handle) {
    FindClose(handle);
}

uint32_t OsGetDriveType(const std::string& root) {
    return GetDriveTypeA(root.c_str());
}

bool OsCopyFile(const std::string& from, const std::string& to, bool failIfExists) {
    return CopyFileA(from.c_str(), to.c_str(), failIfExists ? TRUE : FALSE) != FALSE;
}

bool OsCreateDirectory(const std::string& path) {
    if (const TFileFault fault = Fault(TFileOperation::MakeDirectory); fault.Error != 0) {
        SetLastError(fault.Error);
        return false;
    }
    return CreateDirectoryA(path.c_str(), nullptr) != FALSE;
}

void OsCharToOem(std::string& text) {
    if (!text.empty())
        CharToOemBuffA(text.c_str(), &text[0], static_cast<DWORD>(text.size()));
}
