// The file, directory and drive services that the engine uses. Only the
// Win32 build has them (win32/FileSystem.cpp); the types stay free of
// windows.h so that engine headers can name them.
#pragma once

#include "TextServices.h"

#include <cstdint>
#include <functional>
#include <string>

using TOsHandle = void*;
inline TOsHandle const InvalidOsHandle = reinterpret_cast<TOsHandle>(static_cast<intptr_t>(-1));

constexpr uint32_t InvalidFileAttributes = 0xFFFFFFFFu;
constexpr uint32_t FileAttributeDirectory = 0x10;
constexpr uint32_t FileAttributeReparsePoint = 0x400;

constexpr uint32_t DriveUnknown = 0;
constexpr uint32_t DriveNoRootDir = 1;
constexpr uint32_t DriveRemovable = 2;
constexpr uint32_t DriveFixed = 3;
constexpr uint32_t DriveRemote = 4;
constexpr uint32_t DriveCdRom = 5;
constexpr uint32_t DriveRamDisk = 6;

// CreateNew makes a file only where none exists yet (CREATE_NEW).
enum class TOpenMode { CreateForWriting, OpenForReading, CreateNew };

constexpr uint32_t ErrorFileExists = 80;
constexpr uint32_t ErrorAlreadyExists = 183;

// The fields of a WIN32_FIND_DATAA record that the program reads.
struct TFindData {
    uint32_t dwFileAttributes = 0;
    TFileTime ftLastWriteTime;
    uint32_t nFileSizeHigh = 0;
    uint32_t nFileSizeLow = 0;
    std::string cFileName;
};

TOsHandle OsCreateFile(const std::string& name, TOpenMode mode);
bool OsReadFile(TOsHandle handle, void* buffer, uint32_t count, uint32_t& done);
bool OsWriteFile(TOsHandle handle, const void* buffer, uint32_t count, uint32_t& done);
uint32_t OsSetFilePointer(TOsHandle handle, int32_t low, int32_t* high, uint32_t method);
bool OsSetLastWriteTime(TOsHandle handle, const TFileTime& time);
void OsCloseHandle(TOsHandle handle);

uint32_t OsGetLastError();
void OsSetLastError(uint32_t code);
// The system's text for an error code, as FormatMessageA gives it.
std::string OsFormatMessage(uint32_t code);

uint32_t OsGetFileAttributes(const std::string& path);
// GetFullPathNameA: with size 0 the length needed, else the length written.
uint32_t OsGetFullPathName(const std::string& path, uint32_t size, char* buffer);

TOsHandle OsFindFirstFile(const std::string& pattern, TFindData& data);
bool OsFindNextFile(TOsHandle handle, TFindData& data);
void OsFindClose(TOsHandle handle);

uint32_t OsGetDriveType(const std::string& root);
bool OsCopyFile(const std::string& from, const std::string& to, bool failIfExists);
bool OsCreateDirectory(const std::string& path);

// Converts the text in place from the ANSI to the OEM code page.
void OsCharToOem(std::string& text);

// Fault injection for the tests: a hook asked before every file operation
// that can make it fail with a real system error code, or make a write
// accept fewer bytes than it was given. No hook is set in the program.
enum class TFileOperation { Create, Open, Read, Write, Seek, SetTime, MakeDirectory };

struct TFileFault {
    uint32_t Error = 0;
    uint32_t ShortWriteBy = 0;
};

using TFileFaultHook = std::function<TFileFault(TFileOperation operation)>;
void SetFileFaultHook(TFileFaultHook hook);
