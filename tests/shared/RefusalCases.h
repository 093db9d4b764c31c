// Sets that a verify run or a join refuses, each with the codes of both and
// the files that the refusal must name. Both programs run the table:
// tests/native-cli/RefusalCasesTest.cpp reads the native program's line on
// stderr, tests/cli/RefusalCasesTest.cpp the codes of Fendrix.exe (which
// shows no text in silent mode).
//
// Every case splits f.bin (45 bytes) into parts of 10 (f.bin.001-005, the
// header files from f.bin.h001 on, f.bin.sfv; f.bin.par with Parity), does
// the damage, and starts the verify run and the join from f.bin.001.
#pragma once

#include <string>
#include <vector>

enum class TDamageKind { Remove, FlipByte, Replace };

struct TDamage {
    TDamageKind Kind;
    const char* File;
    // FlipByte: the byte's offset; Replace: the new contents.
    int At = 0;
    const char* Bytes = "";
};

struct TRefusalCase {
    const char* Name;
    bool Parity;
    bool KeepSfv;
    std::vector<TDamage> Damage;
    int VerifyCode;
    int JoinCode;
    // What the refusal's text names; the join's too where it refuses.
    std::vector<const char*> Named;
};

constexpr int RefusalSourceSize = 45;

inline const std::vector<TRefusalCase> RefusalCases = {
    {"a data part missing", false, true, {{TDamageKind::Remove, "f.bin.002"}}, 1, 1, {"f.bin.002"}},
    {"a data part damaged", false, true, {{TDamageKind::FlipByte, "f.bin.002", 3}}, 13, 13, {"f.bin.002"}},
    {"a data part of the wrong length", false, false, {{TDamageKind::Replace, "f.bin.002", 0, "abcdefghi"}}, 13,
     13, {"f.bin.002"}},
    {"a header file missing", false, true, {{TDamageKind::Remove, "f.bin.h002"}}, 1, 1, {"f.bin.h002"}},
    {"a header file damaged", false, true, {{TDamageKind::FlipByte, "f.bin.h001", 2}}, 13, 13, {"f.bin.h001"}},
    {"a header with a size that is no number",
     false,
     false,
     {{TDamageKind::Replace, "f.bin.h001", 0, "QoVa40\tf.bin\tF\tforty\t20200101000000000\t\t"}},
     8,
     8,
     {"f.bin.h001"}},
    {"a header entry that leaves the output directory",
     false,
     false,
     {{TDamageKind::Replace, "f.bin.h001", 0, "QoVa40\t..\\escape.txt\tF\t45\t20200101000000000\t\t"}},
     8,
     8,
     {"f.bin.h001", "escape.txt"}},
    // A join of a whole set never reads the parity file.
    {"the parity file damaged", true, true, {{TDamageKind::FlipByte, "f.bin.par", 40}}, 13, 0, {"f.bin.par"}},
    {"the parity file missing", true, true, {{TDamageKind::Remove, "f.bin.par"}}, 1, 0, {"f.bin.par"}},
    {"a part lost, the parity file damaged",
     true,
     true,
     {{TDamageKind::Remove, "f.bin.003"}, {TDamageKind::FlipByte, "f.bin.par", 40}},
     1,
     1,
     {"f.bin.003", "f.bin.par"}},
    {"a part lost, the parity file missing",
     true,
     true,
     {{TDamageKind::Remove, "f.bin.003"}, {TDamageKind::Remove, "f.bin.par"}},
     1,
     1,
     {"f.bin.003", "f.bin.par"}},
    {"two volumes damaged",
     true,
     true,
     {{TDamageKind::FlipByte, "f.bin.002", 3}, {TDamageKind::FlipByte, "f.bin.004", 3}},
     13,
     13,
     {"f.bin.002", "f.bin.par"}},
};

inline std::string RefusalSource() {
    std::string bytes(RefusalSourceSize, '\0');
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>('A' + (i * 11) % 26);
    return bytes;
}

// The case's damage, over a runner's file helpers (TFiles: Read, Write,
// Remove) with paths below parts/ that separate with '/'.
template <class TFiles>
void DoRefusalDamage(const TRefusalCase& c, TFiles& files) {
    if (!c.KeepSfv)
        files.Remove("parts/f.bin.sfv");
    for (const TDamage& d : c.Damage) {
        const std::string path = std::string("parts/") + d.File;
        switch (d.Kind) {
        case TDamageKind::Remove: files.Remove(path); break;
        case TDamageKind::Replace: files.Write(path, d.Bytes); break;
        case TDamageKind::FlipByte: {
            std::string bytes = files.Read(path);
            if (static_cast<size_t>(d.At) < bytes.size())
                bytes[static_cast<size_t>(d.At)] = static_cast<char>(bytes[static_cast<size_t>(d.At)] ^ 0x5A);
            files.Write(path, bytes);
            break;
        }
        }
    }
}
