#include "TestFiles.h"

#include <windows.h>

#include <stdexcept>
#include <vector>

namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path) {
    throw std::runtime_error(what + " failed for " + path + " (error " + std::to_string(GetLastError()) + ")");
}

}  // namespace

TScratchDir::TScratchDir(const std::string& tag) {
    static unsigned counter = 0;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string base = temp;
    if (!base.empty() && base.back() == '\\')
        base.pop_back();
    Dir = base + "\\fx-" + tag + "-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
    RemoveTree(Dir);
    MakeDirectory(Dir);
}

TScratchDir::~TScratchDir() {
    RemoveTree(Dir);
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        Fail("create", path);
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 20));
        DWORD written = 0;
        if (!WriteFile(h, bytes.data() + done, chunk, &written, nullptr) || written == 0) {
            CloseHandle(h);
            Fail("write", path);
        }
        done += written;
    }
    CloseHandle(h);
}

// Not Noise.h's bytes: the stored sets of earlier releases that the
// compatibility test compares with were made from these.
std::string PatternBytes(int64_t size, uint32_t seed) {
    std::string bytes(static_cast<size_t>(size), '\0');
    uint32_t x = seed * 2654435761u + 12345u;
    for (int64_t i = 0; i < size; ++i) {
        x = x * 1103515245u + 12345u;
        bytes[static_cast<size_t>(i)] = static_cast<char>(x >> 24);
    }
    return bytes;
}

void WritePatternFile(const std::string& path, int64_t size, uint32_t seed) {
    WriteFileBytes(path, PatternBytes(size, seed));
}

std::string ReadFileBytes(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        Fail("open", path);
    std::string bytes;
    std::vector<char> buffer(1 << 20);
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(h, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) {
            CloseHandle(h);
            Fail("read", path);
        }
        if (got == 0)
            break;
        bytes.append(buffer.data(), got);
    }
    CloseHandle(h);
    return bytes;
}

void FlipByte(const std::string& path, int64_t at) {
    std::string bytes = ReadFileBytes(path);
    if (at < 0 || static_cast<size_t>(at) >= bytes.size())
        Fail("a flip of the byte at " + std::to_string(at) + ", past the end,", path);
    bytes[static_cast<size_t>(at)] = static_cast<char>(bytes[static_cast<size_t>(at)] ^ 0x5A);
    WriteFileBytes(path, bytes);
}

bool FileExists(const std::string& path) {
    const DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExists(const std::string& path) {
    const DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void MakeDirectory(const std::string& path) {
    if (!CreateDirectoryA(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        Fail("mkdir", path);
}

int64_t FileSizeOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        Fail("stat", path);
    return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

uint64_t LastWriteTimeOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        Fail("stat", path);
    return (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
}

void SetLastWriteTimeOf(const std::string& path, uint64_t fileTime) {
    HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        Fail("open for time", path);
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(fileTime);
    ft.dwHighDateTime = static_cast<DWORD>(fileTime >> 32);
    const BOOL ok = SetFileTime(h, nullptr, nullptr, &ft);
    CloseHandle(h);
    if (!ok)
        Fail("set time", path);
}

void RemoveTree(const std::string& path) {
    const DWORD a = GetFileAttributesA(path.c_str());
    if (a == INVALID_FILE_ATTRIBUTES)
        return;
    if ((a & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
        return;
    }
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA((path + "\\*").c_str(), &data);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = data.cFileName;
            if (name == "." || name == "..")
                continue;
            RemoveTree(path + "\\" + name);
        } while (FindNextFileA(h, &data));
        FindClose(h);
    }
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(path.c_str());
}

namespace {

std::vector<std::string> NamesIn(const std::string& dir, bool filesOnly) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &data);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::string name = data.cFileName;
        const bool isDirectory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (name != "." && name != ".." && !(filesOnly && isDirectory))
            names.push_back(name);
    } while (FindNextFileA(h, &data));
    FindClose(h);
    return names;
}

}  // namespace

std::vector<std::string> EntryNamesIn(const std::string& dir) {
    return NamesIn(dir, false);
}

std::vector<std::string> FileNamesIn(const std::string& dir) {
    return NamesIn(dir, true);
}

int CountEntries(const std::string& dir) {
    return static_cast<int>(EntryNamesIn(dir).size());
}

namespace {

// One entry of the system handle table (information class 16).
struct THandleEntry {
    ULONG OwnerPid;
    BYTE ObjectType;
    BYTE HandleFlags;
    USHORT HandleValue;
    PVOID ObjectPointer;
    ULONG AccessMask;
};

using TQuerySystemInformation = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);

}  // namespace

// Wine answers GetProcessHandleCount with 0 whatever the process holds, so
// the handles are counted in the system handle table, which Wine fills.
uint32_t OpenHandleCount() {
    // The first exception of a process makes Wine open a few handles that
    // stay for good; one thrown here keeps them from looking like a leak of
    // the code under test.
    static const bool unwinderReady = [] {
        try {
            throw std::runtime_error("warm-up");
        } catch (const std::runtime_error&) {
        }
        return true;
    }();
    (void)unwinderReady;
    DWORD count = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &count) && count != 0)
        return count;
    const auto query = reinterpret_cast<TQuerySystemInformation>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!query)
        throw std::runtime_error("NtQuerySystemInformation is missing");
    std::vector<char> buffer(1 << 20);
    for (;;) {
        ULONG needed = 0;
        const LONG status = query(16, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (status == 0)
            break;
        if (buffer.size() >= (64u << 20))
            throw std::runtime_error("system handle table cannot be read");
        buffer.resize(buffer.size() * 2);
    }
    const ULONG entries = *reinterpret_cast<const ULONG*>(buffer.data());
    const auto* entry = reinterpret_cast<const THandleEntry*>(buffer.data() + sizeof(void*));
    const DWORD self = GetCurrentProcessId();
    uint32_t own = 0;
    for (ULONG i = 0; i < entries; ++i)
        if (entry[i].OwnerPid == self)
            ++own;
    return own;
}
