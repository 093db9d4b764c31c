#include "foundation/UnitFileStream.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

namespace {

constexpr int64_t GiB = 1024ll * 1024 * 1024;

// The system's own text for a code, asked for here without the program's help.
std::string SystemText(DWORD code) {
    char buffer[1024];
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                        buffer, sizeof buffer, nullptr);
    return std::string(buffer, length);
}

bool EndsWithLineBreak(const std::string& text) {
    return text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0;
}

// A raw handle held by the test itself, closed when it goes.
struct THeld {
    THeld(const std::string& path, DWORD access, DWORD share)
        : Handle(CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr)) {}
    ~THeld() {
        if (Handle != INVALID_HANDLE_VALUE)
            CloseHandle(Handle);
    }
    HANDLE Handle;
};

bool RunningUnderWine() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

uint64_t Ticks(const FILETIME& t) {
    return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

TEST(FileStream, WritesAndReadsBackARealFile) {
    TScratchDir dir("stream");
    const std::string path = dir / "data.bin";
    const std::string bytes = PatternBytes(70000, 3);
    {
        auto out = TFileStreamLite::CreateForWriting(path);
        EXPECT_EQ(70000u, out->Write(bytes.data(), 70000));
    }
    EXPECT_EQ(bytes, ReadFileBytes(path));

    auto in = TFileStreamLite::OpenForReading(path);
    std::string back(80000, '\0');
    EXPECT_EQ(65536u, in->Read(&back[0], 65536));
    // A read across the end gives what is there; at the end it gives 0.
    EXPECT_EQ(70000u - 65536u, in->Read(&back[65536], 10000));
    EXPECT_EQ(0u, in->Read(&back[0], 10000));
    back.resize(70000);
    EXPECT_EQ(bytes, back);
    EXPECT_EQ(70000, in->GetSize());
}

TEST(FileStream, CreateForWritingEmptiesAnExistingFile) {
    TScratchDir dir("stream");
    const std::string path = dir / "old.txt";
    WriteFileBytes(path, "old contents that must go");
    { auto out = TFileStreamLite::CreateForWriting(path); }
    EXPECT_TRUE(FileExists(path));
    EXPECT_EQ(0, FileSizeOf(path));
}

TEST(FileStream, TwoReadersMayShareAFile) {
    TScratchDir dir("stream");
    const std::string path = dir / "shared.txt";
    WriteFileBytes(path, "shared");
    auto first = TFileStreamLite::OpenForReading(path);
    auto second = TFileStreamLite::OpenForReading(path);
    char c = 0;
    EXPECT_EQ(1u, second->Read(&c, 1));
    EXPECT_EQ('s', c);
}

struct TFailureRow {
    const char* Name;
    DWORD Code;
    // Prepares the scratch directory and returns the failing construction.
    std::function<std::function<void()>(TScratchDir&, std::unique_ptr<THeld>&)> Arrange;
};

// A file holding "keep me" that this process cannot write. The read-only
// attribute is enough where it is honoured; under Wine it becomes the Unix
// permissions, which do not stop root, and there the file comes from a
// read-only disk (a tmpfs mounted read-only by the test set-up, named by
// FENDRIX_READONLY_DISK), where Wine refuses every write open.
std::string ReadOnlyFile(TScratchDir& dir) {
    const std::string path = dir / "readonly.txt";
    WriteFileBytes(path, "keep me");
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    if (THeld(path, GENERIC_WRITE, 0).Handle == INVALID_HANDLE_VALUE)
        return path;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    const char* disk = std::getenv("FENDRIX_READONLY_DISK");
    if (!disk || !*disk) {
        ADD_FAILURE() << "the read-only attribute does not stop this user, and FENDRIX_READONLY_DISK names no "
                         "read-only disk (ctest mounts one when it runs as root)";
        return path;
    }
    const std::string onDisk = std::string(disk) + "\\readonly.txt";
    EXPECT_EQ("keep me", ReadFileBytes(onDisk)) << "the read-only disk holds its file";
    return onDisk;
}

TEST(FileStream, FailuresRaiseTheSystemTextAndLeaveNoHandleOpen) {
    std::string readOnly;
    const TFailureRow rows[] = {
        {"reading a missing file", ERROR_FILE_NOT_FOUND,
         [](TScratchDir& dir, std::unique_ptr<THeld>&) {
             return [path = dir / "missing.bin"] { TFileStreamLite::OpenForReading(path); };
         }},
        {"reading in a missing directory", ERROR_PATH_NOT_FOUND,
         [](TScratchDir& dir, std::unique_ptr<THeld>&) {
             return [path = dir / "nodir\\missing.bin"] { TFileStreamLite::OpenForReading(path); };
         }},
        {"writing in a missing directory", ERROR_PATH_NOT_FOUND,
         [](TScratchDir& dir, std::unique_ptr<THeld>&) {
             return [path = dir / "nodir\\new.bin"] { TFileStreamLite::CreateForWriting(path); };
         }},
        {"writing a read-only file", ERROR_ACCESS_DENIED,
         [&readOnly](TScratchDir& dir, std::unique_ptr<THeld>&) {
             readOnly = ReadOnlyFile(dir);
             return [path = readOnly] { TFileStreamLite::CreateForWriting(path); };
         }},
        {"writing a file another handle writes", ERROR_SHARING_VIOLATION,
         [](TScratchDir& dir, std::unique_ptr<THeld>& held) {
             const std::string path = dir / "busy.txt";
             WriteFileBytes(path, "busy");
             held = std::make_unique<THeld>(path, GENERIC_WRITE, 0);
             return [path] { TFileStreamLite::CreateForWriting(path); };
         }},
        {"writing a file that is open for reading", ERROR_SHARING_VIOLATION,
         [](TScratchDir& dir, std::unique_ptr<THeld>& held) {
             const std::string path = dir / "reading.txt";
             WriteFileBytes(path, "being read");
             held = std::make_unique<THeld>(path, GENERIC_READ, FILE_SHARE_READ);
             return [path] { TFileStreamLite::CreateForWriting(path); };
         }},
        {"reading a file that is open for writing", ERROR_SHARING_VIOLATION,
         [](TScratchDir& dir, std::unique_ptr<THeld>& held) {
             const std::string path = dir / "writing.txt";
             WriteFileBytes(path, "being written");
             held = std::make_unique<THeld>(path, GENERIC_WRITE, 0);
             return [path] { TFileStreamLite::OpenForReading(path); };
         }},
        {"writing over a directory", ERROR_ACCESS_DENIED,
         [](TScratchDir& dir, std::unique_ptr<THeld>&) {
             MakeDirectory(dir / "sub");
             return [path = dir / "sub"] { TFileStreamLite::CreateForWriting(path); };
         }},
        {"reading a directory", ERROR_ACCESS_DENIED,
         [](TScratchDir& dir, std::unique_ptr<THeld>&) {
             MakeDirectory(dir / "sub");
             return [path = dir / "sub"] { TFileStreamLite::OpenForReading(path); };
         }},
    };
    for (const TFailureRow& row : rows) {
        SCOPED_TRACE(row.Name);
        TScratchDir dir("fail");
        std::unique_ptr<THeld> held;
        const auto attempt = row.Arrange(dir, held);
        if (held) {
            ASSERT_NE(INVALID_HANDLE_VALUE, held->Handle);
        }
        // The first failure may make the system load what it needs for its
        // texts; the second one shows whether a handle stays behind.
        for (int round = 1; round <= 2; ++round) {
            SCOPED_TRACE("attempt " + std::to_string(round));
            const uint32_t handlesBefore = OpenHandleCount();
            std::string text;
            try {
                attempt();
                ADD_FAILURE() << "no exception";
            } catch (const EExceptionLite& e) {
                text = e.MessageText;
            }
            if (round == 2) {
                EXPECT_EQ(handlesBefore, OpenHandleCount());
            }
            EXPECT_EQ(SystemText(row.Code), text);
            EXPECT_TRUE(EndsWithLineBreak(text)) << text;
        }
        held.reset();
        if (!readOnly.empty()) {
            EXPECT_EQ("keep me", ReadFileBytes(readOnly));
            SetFileAttributesA((dir / "readonly.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
            readOnly.clear();
        }
    }
}

TEST(FileStream, TheHandleCountSeesAnOpenStream) {
    // Without this the handle comparisons above could not fail.
    TScratchDir dir("count");
    const std::string path = dir / "f.txt";
    WriteFileBytes(path, "x");
    const uint32_t before = OpenHandleCount();
    {
        auto in = TFileStreamLite::OpenForReading(path);
        EXPECT_EQ(before + 1, OpenHandleCount());
    }
    EXPECT_EQ(before, OpenHandleCount());
}

TEST(FileStream, SystemErrorText) {
    EXPECT_EQ("", SystemErrorText(0));
    const struct {
        uint32_t Code;
    } rows[] = {{ERROR_FILE_NOT_FOUND}, {ERROR_ACCESS_DENIED}, {ERROR_SHARING_VIOLATION},
                {ERROR_DISK_FULL},      {ERROR_NEGATIVE_SEEK}, {ERROR_HANDLE_DISK_FULL}};
    for (const auto& row : rows) {
        SCOPED_TRACE("code " + std::to_string(row.Code));
        const std::string text = SystemErrorText(row.Code);
        EXPECT_EQ(SystemText(row.Code), text);
        EXPECT_GT(text.size(), 2u);
        EXPECT_TRUE(EndsWithLineBreak(text)) << text;
    }
    // A code the system has no text for gives the empty text.
    EXPECT_EQ("", SystemErrorText(0x2FFFFFFF));
}

TEST(FileStream, SeeksAndSizesBeyondFourGiB) {
    TScratchDir dir("sparse");
    const std::string path = dir / "sparse.bin";
    const int64_t last = 5 * GiB;
    {
        auto out = TFileStreamLite::CreateForWriting(path);
        // Seeking past the end is allowed; the byte written there leaves a
        // hole in front of it, so the file takes no real space.
        EXPECT_EQ(last, out->Seek(last, 0));
        EXPECT_EQ(1u, out->Write("Z", 1));
        EXPECT_EQ(last + 1, out->Seek(0, 1));
    }
    EXPECT_EQ(last + 1, FileSizeOf(path));

    auto in = TFileStreamLite::OpenForReading(path);
    EXPECT_EQ(last + 1, in->Seek(0, 2));
    // A position whose low half is all ones is a position, not a failure.
    const int64_t allOnesLow = 0x1FFFFFFFFll;
    EXPECT_EQ(allOnesLow, in->Seek(allOnesLow, 0));
    EXPECT_EQ(last + 1, in->GetSize());
    EXPECT_EQ(allOnesLow, in->Seek(0, 1));
    EXPECT_EQ(last, in->Seek(last - allOnesLow, 1));
    char c = 0;
    EXPECT_EQ(1u, in->Read(&c, 1));
    EXPECT_EQ('Z', c);
    EXPECT_EQ(last - 1, in->Seek(-2, 2));
    EXPECT_EQ(1u, in->Read(&c, 1));
    EXPECT_EQ('\0', c);
}

TEST(FileStream, NegativePositionsRaiseTheNegativeSeekText) {
    TScratchDir dir("seek");
    const std::string path = dir / "small.bin";
    WriteFileBytes(path, "0123456789");
    auto in = TFileStreamLite::OpenForReading(path);
    EXPECT_EQ(4, in->Seek(4, 0));
    const struct {
        int64_t Offset;
        uint8_t Origin;
    } rows[] = {{-1, 0}, {-5, 1}, {-11, 2}, {-5 * GiB, 0}, {INT64_MIN, 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE("offset " + std::to_string(row.Offset) + " from " + std::to_string(row.Origin));
        try {
            in->Seek(row.Offset, row.Origin);
            ADD_FAILURE() << "no exception";
        } catch (const EExceptionLite& e) {
            EXPECT_EQ(SystemText(ERROR_NEGATIVE_SEEK), e.MessageText);
        }
        // The position is where it was.
        EXPECT_EQ(4, in->Seek(0, 1));
    }
    EXPECT_EQ(20, in->Seek(10, 2));
}

TEST(FileStream, SetLastWriteTimeChangesOnlyTheLastWriteTime) {
    TScratchDir dir("time");
    const std::string path = dir / "stamped.txt";
    // 2001-02-03 04:05:06 UTC, a whole second that every file system keeps.
    const uint64_t stamp = 126261663060000000ull;
    FILETIME creationBefore, accessBefore, writeBefore;
    {
        auto out = TFileStreamLite::CreateForWriting(path);
        EXPECT_EQ(5u, out->Write("hello", 5));
        ASSERT_TRUE(GetFileTime(out->Handle, &creationBefore, &accessBefore, &writeBefore));
        ASSERT_NE(stamp, Ticks(writeBefore));
        TFileTime time;
        time.dwLowDateTime = static_cast<uint32_t>(stamp);
        time.dwHighDateTime = static_cast<uint32_t>(stamp >> 32);
        out->SetLastWriteTime(time);
    }
    EXPECT_EQ(stamp, LastWriteTimeOf(path));
    WIN32_FILE_ATTRIBUTE_DATA after;
    ASSERT_TRUE(GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &after));
    EXPECT_EQ(Ticks(accessBefore), Ticks(after.ftLastAccessTime));
    // Wine 8 on Linux reports a file's modification time as its creation
    // time (measured: for stamps before and after the file's change time
    // alike, and a creation time set explicitly is dropped), so there the
    // creation time follows the stamp; elsewhere it must stay as it was.
    if (RunningUnderWine()) {
        EXPECT_EQ(stamp, Ticks(after.ftCreationTime));
    } else {
        EXPECT_EQ(Ticks(creationBefore), Ticks(after.ftCreationTime));
    }
    EXPECT_EQ("hello", ReadFileBytes(path));
}

}  // namespace
