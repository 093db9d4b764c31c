// Random files and trees through split, verify, repair and join, in both
// forms of the program: the engine in process over the POSIX layer
// (tests/native/RoundTripTest.cpp) and Fendrix.exe as a process under Wine
// (tests/cli/RoundTripTest.cpp). Each form brings a host: file helpers on
// '/'-separated paths below a scratch directory of its own (Fresh, Write,
// Read, Remove, MakeDir, IsDir, Names, SetTime, Time) and the jobs (Split,
// Verify, Join, and Program, the bytes that /COPY puts beside the parts).
//
// Part sizes gather where the code changes its ways: its copy buffer, the
// least copy it leaves to the system, the default part size, a byte either
// side of each, one byte, small odd sizes, a file's own size. What each job
// must answer is worked out here from the files and the damage chosen (the
// README's result codes), never from what the program did.
//
//   FENDRIX_ROUNDTRIP_SECONDS  no round starts after this (default 20)
//   FENDRIX_ROUNDTRIP_SEED     replays the one round that printed this seed
//   FENDRIX_ROUNDTRIP_BASE     the first round's seed (default from the clock)
#pragma once

#include "engine/UnitFendrix.h"
#include "support/Noise.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace roundtrip {

struct TLimits {
    int64_t MaxTotal;  // bytes of a source
    int MaxParts;      // data parts of a set, below the program's 999
    int Scenarios;     // damaged copies of each set
    bool PartLimit;    // now and then a source at the 999-part limit
};

class TRng {
public:
    explicit TRng(uint64_t seed) : State(seed) {}
    uint64_t Next() {
        uint64_t z = (State += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int64_t Below(int64_t n) { return n <= 0 ? 0 : static_cast<int64_t>(Next() % static_cast<uint64_t>(n)); }
    bool Chance(int percent) { return Below(100) < percent; }

private:
    uint64_t State;
};

inline uint32_t Crc32Of(const std::string& bytes) {
    static const std::vector<uint32_t> table = [] {
        std::vector<uint32_t> t(256);
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    uint32_t c = 0xFFFFFFFFu;
    for (unsigned char b : bytes)
        c = table[(c ^ b) & 0xFF] ^ (c >> 8);
    return ~c;
}

inline std::string Hex8(uint32_t v) {
    char text[9];
    std::snprintf(text, sizeof text, "%08X", v);
    return text;
}

inline std::string Number3(int64_t n) {
    char text[24];
    std::snprintf(text, sizeof text, "%03lld", static_cast<long long>(n));
    return text;
}

// ---- the source --------------------------------------------------------

struct TEntry {
    std::string Name;  // below the scratch directory: "data.bin", "src/d1/f2.bin"
    bool Dir;
    int64_t Size;
    uint64_t Time;  // 100 ns since 1601, whole milliseconds as the header keeps them
    std::string Bytes() const { return NoiseBytes(static_cast<size_t>(Size), static_cast<uint32_t>(Time)); }
};

struct TPlan {
    uint64_t Seed = 0;
    int64_t PartSize = 0;
    std::string SizeLabel;
    std::vector<TEntry> Entries;  // the source first, every directory before its contents
    bool Batch = false, Copy = false, Parity = false, DropSfv = false;
    // The lost volumes that the set's recovery files are made for; 0 for none.
    int Recovery = 0;
    int64_t Total() const {
        int64_t t = 0;
        for (const TEntry& e : Entries)
            t += e.Size;
        return t;
    }
};

constexpr int SizeClasses = 14;

// The class comes from the seed itself: consecutive seeds go round them all.
inline int64_t PartSizeOf(int sizeClass, TRng& rng, std::string& label) {
    const int64_t special[] = {CopyBufferSize, SystemCopyLeast, DefaultPartSize};
    if (sizeClass < 9) {
        const int64_t size = special[sizeClass / 3] + sizeClass % 3 - 1;
        label = std::to_string(size);
        return size;
    }
    switch (sizeClass) {
    case 9: label = "1"; return 1;
    case 10: label = "small odd"; return 3 + 2 * rng.Below(499);
    case 11: label = "4096+-1"; return 4095 + rng.Below(3);
    case 12: label = "a file's size"; return 1 + rng.Below(3 << 20);
    default: label = "any"; return 1 + rng.Below(3 << 20);
    }
}

inline int64_t DrawSize(TRng& rng, int64_t partSize, int64_t room) {
    int64_t size = 0;
    switch (rng.Below(8)) {
    case 0: size = 0; break;
    case 1: size = 1 + rng.Below(64); break;
    case 2: size = 4096 * (1 + rng.Below(16)) + rng.Below(3) - 1; break;
    case 3: size = partSize * (1 + rng.Below(3)) + rng.Below(3) - 1; break;
    case 4: size = partSize * (1 + rng.Below(2)); break;
    default: size = rng.Below(room + 1); break;
    }
    return size <= room ? size : rng.Below(room + 1);
}

inline TPlan MakePlan(uint64_t seed, const TLimits& limits) {
    TRng rng(seed);
    TPlan plan;
    plan.Seed = seed;
    const int sizeClass = static_cast<int>(seed % SizeClasses);
    const int64_t s = plan.PartSize = PartSizeOf(sizeClass, rng, plan.SizeLabel);
    // One part of the count is left to the header.
    int64_t room = std::min(limits.MaxTotal, s * (limits.MaxParts - 1));
    auto time = [&] { return (11644473600000ull + 946684800000ull + rng.Below(946080000000ll)) * 10000ull; };
    auto addFile = [&](const std::string& name, int64_t size) {
        plan.Entries.push_back({name, false, size, time()});
        room -= size;
    };
    if (rng.Chance(40)) {
        const char* names[] = {"data.bin", "film one.mkv", "notes.txt"};
        int64_t size = sizeClass == 12 ? s : DrawSize(rng, s, room);
        if (limits.PartLimit && s <= 4096 && rng.Chance(15))
            size = MaxParts * s + rng.Below(2);
        addFile(names[rng.Below(3)], size);
    } else {
        plan.Entries.push_back({"src", true, 0, time()});
        std::vector<std::string> dirs = {"src"};
        if (sizeClass == 12)
            addFile("src/f0.bin", s);
        // A header of parts of a few bytes spreads over as many files.
        const int64_t entries = 1 + rng.Below(s < 16 ? 3 : 12);
        for (int64_t i = 1; i <= entries; ++i) {
            const std::string parent = dirs[static_cast<size_t>(rng.Below(static_cast<int64_t>(dirs.size())))];
            if (rng.Chance(30)) {
                dirs.push_back(parent + "/d" + std::to_string(i));
                plan.Entries.push_back({dirs.back(), true, 0, time()});
            } else {
                addFile(parent + "/f" + std::to_string(i) + ".bin", DrawSize(rng, s, room));
            }
        }
        const int64_t tail = s - plan.Total() % s;
        if (rng.Chance(25) && tail <= room)
            addFile(dirs.back() + "/last.bin", tail);
    }
    plan.Batch = rng.Chance(40);
    plan.Copy = rng.Chance(30);
    plan.Parity = rng.Chance(60);
    plan.DropSfv = rng.Chance(25);
    // Recovery files go with the sfv and without the parity file: each
    // repairs alone what it can, and the cases stay apart.
    if (rng.Chance(35)) {
        plan.Recovery = 1 + static_cast<int>(rng.Below(3));
        plan.Parity = plan.DropSfv = false;
    }
    return plan;
}

inline std::string Describe(const TPlan& p) {
    std::string text = "seed " + std::to_string(p.Seed) + ": part size " + std::to_string(p.PartSize) + " (" +
                       p.SizeLabel + "), " + std::to_string(p.Total()) + " bytes in";
    for (const TEntry& e : p.Entries)
        text += " " + e.Name + (e.Dir ? "/" : ":" + std::to_string(e.Size));
    text += p.Batch ? " /BATCH" : "";
    text += p.Copy ? " /COPY" : "";
    text += p.Parity ? " /PARITY" : "";
    text += p.Recovery ? " /RECOVERY" + std::to_string(p.Recovery) : "";
    return text + (p.DropSfv ? ", sfv removed" : "");
}

// ---- the set that the split must write -----------------------------------

struct TSet {
    std::string Stem;  // "data.bin."
    int64_t PartSize = 0;
    int DataParts = 0;
    std::vector<int64_t> HeaderSizes;
    std::string Data(int n) const { return Stem + Number3(n); }
    std::string Header(int n) const { return Stem + "h" + Number3(n); }
    std::string Sfv() const { return Stem + "sfv"; }
    std::string Par() const { return Stem + "par"; }
    // The recovery slices: one for each volume to survive, and one more
    // where the last data part and header file 001 share a volume with
    // bytes in both.
    int RecoverySlices = 0;
    std::string Par2() const { return Stem + "par2"; }
    std::string Volume(int e) const {
        const int width = static_cast<int>(std::to_string(RecoverySlices).size());
        std::string digits = std::to_string(e);
        return Stem + "vol" + std::string(static_cast<size_t>(width) - digits.size(), '0') + digits + "+1.par2";
    }
    int HeaderFiles() const { return static_cast<int>(HeaderSizes.size()); }
    // Each data part but the last is a volume; the last one and the first
    // header file are one; each further header file is one.
    std::vector<std::vector<std::string>> Volumes() const {
        std::vector<std::vector<std::string>> v;
        for (int n = 1; n < DataParts; ++n)
            v.push_back({Data(n)});
        v.push_back({Data(DataParts), Header(1)});
        for (int n = 2; n <= HeaderFiles(); ++n)
            v.push_back({Header(n)});
        return v;
    }
    int VolumeOf(const std::string& name) const {
        const auto v = Volumes();
        for (size_t i = 0; i < v.size(); ++i)
            if (std::find(v[i].begin(), v[i].end(), name) != v[i].end())
                return static_cast<int>(i);
        return -1;
    }
    std::vector<std::string> VolumeWith(const std::string& name) const {
        return Volumes()[static_cast<size_t>(VolumeOf(name))];
    }
    // Where the file comes in the order that joins and verify runs read:
    // the header files, then the data parts.
    int ReadOrder(const std::string& name) const {
        if (name.compare(0, Stem.size(), Stem) != 0)
            return -1;
        const bool header = name.size() > Stem.size() && name[Stem.size()] == 'h';
        const std::string digits = name.substr(Stem.size() + header);
        if (digits.size() < 3 || digits.find_first_not_of("0123456789") != std::string::npos)
            return -1;
        const int n = std::atoi(digits.c_str());
        return header ? (n <= HeaderFiles() ? n : -1) : (n <= DataParts ? HeaderFiles() + n : -1);
    }
};

inline TSet ExpectedSet(const TPlan& plan) {
    TSet set;
    const std::string& first = plan.Entries[0].Name;
    set.Stem = first + ".";
    const int64_t s = set.PartSize = plan.PartSize;
    const int64_t total = plan.Total();
    // A full last part is followed by an empty one, which the header starts.
    set.DataParts = static_cast<int>(total / s + 1);
    // "QoVa40", for each entry TAB name TAB kind TAB size TAB 17-digit time,
    // and two TABs.
    int64_t header = 8;
    for (const TEntry& e : plan.Entries)
        header += 22 + static_cast<int64_t>(e.Name.size() + std::to_string(e.Size).size());
    int64_t chunk = std::min(header, s - total % s);
    for (; header > 0; header -= chunk, chunk = std::min(header, s))
        set.HeaderSizes.push_back(chunk);
    set.RecoverySlices = plan.Recovery == 0 ? 0 : plan.Recovery + (total % s != 0 ? 1 : 0);
    return set;
}

using TFiles = std::map<std::string, std::string>;

template <class THost>
TFiles FilesIn(THost& host, const std::string& dir) {
    TFiles files;
    for (const std::string& name : host.Names(dir))
        files[name] = host.Read(dir + "/" + name);
    return files;
}

inline std::string ExpectedParity(const TSet& set, const TFiles& files) {
    std::string text = "FENDRIX PARITY 1\r\npart size\t" + std::to_string(set.PartSize) + "\r\n";
    std::string block(static_cast<size_t>(set.PartSize), '\0');
    for (const auto& volume : set.Volumes()) {
        text += "volume";
        size_t at = 0;
        for (const std::string& name : volume) {
            const std::string& bytes = files.at(name);
            text += "\t" + name + "\t" + std::to_string(bytes.size());
            for (size_t i = 0; i < bytes.size() && at < block.size(); ++i)
                block[at++] ^= bytes[i];
        }
        text += "\r\n";
    }
    return text + "crc\t" + Hex8(Crc32Of(text + block)) + "\r\n" + block;
}

// The header's entries in its order: name with '/', 'F' or 'D', size.
inline std::vector<std::vector<std::string>> HeaderEntries(const std::string& text) {
    std::vector<std::vector<std::string>> entries;
    size_t pos = text.find('\t') + 1;
    while (pos < text.size() && text[pos] != '\t') {
        std::vector<std::string> fields;
        for (int i = 0; i < 4 && pos < text.size(); ++i) {
            const size_t tab = std::min(text.find('\t', pos), text.size());
            fields.push_back(text.substr(pos, tab - pos));
            pos = tab + 1;
        }
        std::replace(fields[0].begin(), fields[0].end(), '\\', '/');
        fields.resize(3);
        entries.push_back(fields);
    }
    return entries;
}

// Every file the split wrote, byte for byte: the header is the one text
// taken from the split, once its entries are found to be the source's.
// Returns the header's order of the files.
template <class THost>
std::vector<std::string> CheckSplit(THost& host, const TPlan& plan, const TSet& set, const TFiles& files) {
    std::string header, data;
    for (int n = 1; n <= set.HeaderFiles(); ++n)
        header += files.count(set.Header(n)) ? files.at(set.Header(n)) : "";
    std::map<std::string, std::string> listed, wanted;
    std::vector<std::string> order;
    for (const auto& e : HeaderEntries(header)) {
        listed[e[0]] = e[1] + " " + e[2];
        if (e[1] == "F")
            order.push_back(e[0]);
    }
    for (const TEntry& e : plan.Entries)
        wanted[e.Name] = std::string(e.Dir ? "D " : "F ") + std::to_string(e.Size);
    EXPECT_EQ(0u, header.find("QoVa40\t"));
    EXPECT_EQ(wanted, listed) << "the header's entries";
    if (wanted != listed)
        return order;
    for (const std::string& name : order)
        for (const TEntry& e : plan.Entries)
            data += e.Name == name ? e.Bytes() : "";
    // The data parts hold the files back to back in the header's order; the
    // header begins in the room the last one leaves.
    const size_t s = static_cast<size_t>(plan.PartSize);
    TFiles want;
    std::string sfv = "; Fendrix\r\n";
    for (int n = 1; n <= set.DataParts; ++n)
        want[set.Data(n)] = data.substr(static_cast<size_t>(n - 1) * s, s);
    for (int n = 1, at = 0; n <= set.HeaderFiles(); at += set.HeaderSizes[static_cast<size_t>(n - 1)], ++n)
        want[set.Header(n)] = header.substr(static_cast<size_t>(at), static_cast<size_t>(set.HeaderSizes[n - 1]));
    for (int n = 1; n <= set.DataParts + set.HeaderFiles(); ++n) {
        const std::string name = n <= set.DataParts ? set.Data(n) : set.Header(n - set.DataParts);
        sfv += name + " " + Hex8(Crc32Of(want[name])) + "\r\n";
    }
    if (plan.Parity) {
        want[set.Par()] = ExpectedParity(set, want);
        sfv += set.Par() + " " + Hex8(Crc32Of(want[set.Par()])) + "\r\n";
    }
    // Their bytes are par2's to check (the interop tests); here, that they
    // are there, are PAR2 packets and are listed.
    if (set.RecoverySlices > 0) {
        for (int e = -1; e < set.RecoverySlices; ++e) {
            const std::string name = e < 0 ? set.Par2() : set.Volume(e);
            const std::string bytes = files.count(name) ? files.at(name) : "";
            EXPECT_EQ(0u, bytes.find(std::string("PAR2\0PKT", 8))) << name;
            want[name] = bytes;
            sfv += name + " " + Hex8(Crc32Of(bytes)) + "\r\n";
        }
    }
    want[set.Sfv()] = sfv;
    const std::string& first = plan.Entries[0].Name;
    if (plan.Batch && !plan.Entries[0].Dir) {
        std::string& bat = want[first.substr(0, first.rfind('.')) + ".bat"];
        bat = "copy /b \"" + set.Data(1) + "\" \"" + first + "\"\r\n";
        for (int n = 2; n <= set.DataParts; ++n)
            bat += "copy /b \"" + first + "\" + \"" + set.Data(n) + "\"\r\n";
    }
    if (plan.Copy)
        want["Fendrix.exe"] = host.Program();
    std::string names, wantedNames;
    for (const auto& f : files)
        names += f.first + " ";
    for (const auto& f : want) {
        wantedNames += f.first + " ";
        EXPECT_TRUE(files.count(f.first) && files.at(f.first) == f.second) << f.first << " is not as it should be";
    }
    EXPECT_EQ(wantedNames, names) << "the files of the set";
    return order;
}

// ---- damage and what it calls for --------------------------------------

enum TKind { Lose, LoseVolume, Flip, Truncate, Extend, Move, ParityLost, ParityFlipped, KindCount };
inline const char* const KindNames[] = {"lost part", "lost volume", "flipped byte", "truncated part",
                                        "part one byte too long", "byte moved to the next part",
                                        "parity file lost", "parity file flipped"};

struct TDamage {
    TKind Kind;
    std::string File;
    int64_t At = 0;  // the byte flipped, or the length left
    char Mask = 0;   // what the flip XORs in, or the byte appended
};

struct TExpect {
    int Verify = 0;
    int Join = 0;
    int64_t FlippedAt = -1;  // the join gives back the flipped byte here
    char Mask = 0;
};

// With the sfv file the join and the verify run tell every damaged file by
// its checksum. Without it (a set made before checksums) they know part
// 001's size, the header's total and the parity file's own crc only: a
// flipped data byte passes unseen, and part 001 is the measure of the
// others, so length damage goes to the parts after it. Damage always hits
// a file with bytes: an empty last part holds nothing that a join reads.
inline std::vector<TDamage> ChooseDamage(TRng& rng, const TPlan& plan, const TSet& set, const TFiles& files) {
    const bool sfv = !plan.DropSfv;
    // any: every file with bytes; data: the data parts with bytes; measured:
    // those whose length the set can tell; movable: those of them with a
    // part after them.
    std::vector<std::string> any, data, measured, movable;
    for (int n = 1; n <= set.HeaderFiles(); ++n)
        any.push_back(set.Header(n));
    for (int n = 1; n <= set.DataParts; ++n) {
        if (files.at(set.Data(n)).empty())
            continue;
        any.push_back(set.Data(n));
        data.push_back(set.Data(n));
        if (sfv || n > 1)
            measured.push_back(set.Data(n));
        if ((sfv || n > 1) && n < set.DataParts)
            movable.push_back(set.Data(n));
    }
    std::vector<TDamage> damage;
    auto add = [&](TKind kind, const std::vector<std::string>& from) {
        TDamage d{kind, from[static_cast<size_t>(rng.Below(static_cast<int64_t>(from.size())))]};
        d.At = rng.Below(static_cast<int64_t>(files.at(d.File).size()));
        d.Mask = static_cast<char>(1 + rng.Below(255));
        damage.push_back(d);
    };
    std::vector<TKind> kinds = {Lose, LoseVolume};
    if (!data.empty())
        kinds.push_back(Flip);
    if (!measured.empty())
        kinds.insert(kinds.end(), {Truncate, Extend});
    if (!movable.empty())
        kinds.push_back(Move);
    if (plan.Parity)
        kinds.insert(kinds.end(), {ParityLost, ParityFlipped});
    if (rng.Chance(8))
        return damage;
    const TKind kind = kinds[static_cast<size_t>(rng.Below(static_cast<int64_t>(kinds.size())))];
    if (kind == ParityLost || kind == ParityFlipped)
        add(kind, {set.Par()});
    else if (kind == Move)
        add(kind, movable);
    else
        add(kind, kind < Flip || sfv ? any : kind == Flip ? data : measured);
    // Recovery files rebuild as many volumes as they were made for: up to
    // one more than that are hit, each on another volume.
    for (int extra = plan.Recovery > 0 ? static_cast<int>(rng.Below(plan.Recovery + 1)) : 0; extra > 0; --extra) {
        std::set<int> hit;
        for (const TDamage& x : damage) {
            hit.insert(set.VolumeOf(x.File));
            if (x.Kind == Move)
                hit.insert(set.VolumeOf(set.Data(set.ReadOrder(x.File) - set.HeaderFiles() + 1)));
        }
        std::vector<std::string> others;
        for (const std::string& name : any)
            if (hit.count(set.VolumeOf(name)) == 0)
                others.push_back(name);
        if (!others.empty())
            add(static_cast<TKind>(rng.Below(Move)), others);
    }
    // Now and then a second volume or the parity file goes too, beyond what
    // one parity block rebuilds.
    if (sfv && plan.Recovery == 0 && kind != Move && rng.Chance(20)) {
        std::vector<std::string> others;
        for (const std::string& name : any)
            if (kind >= ParityLost || set.VolumeOf(name) != set.VolumeOf(damage[0].File))
                others.push_back(name);
        if (!others.empty())
            add(static_cast<TKind>(rng.Below(Move)), others);
    }
    return damage;
}

inline std::string Describe(const std::vector<TDamage>& damage) {
    std::string text;
    for (const TDamage& d : damage)
        text += (text.empty() ? "" : " and ") + std::string(KindNames[d.Kind]) + " " + d.File +
                (d.Kind == Flip || d.Kind == ParityFlipped ? " at " + std::to_string(d.At)
                 : d.Kind == Truncate                      ? " to " + std::to_string(d.At)
                                                           : "");
    return text.empty() ? "no damage" : text;
}

template <class THost>
void Apply(THost& host, const std::string& dir, const TSet& set, const TDamage& d) {
    const std::string path = dir + "/" + d.File;
    std::string bytes = host.Exists(path) ? host.Read(path) : std::string();
    switch (d.Kind) {
    case Lose:
    case ParityLost: host.Remove(path); return;
    case LoseVolume:
        for (const std::string& name : set.VolumeWith(d.File))
            if (host.Exists(dir + "/" + name))
                host.Remove(dir + "/" + name);
        return;
    case Flip:
    case ParityFlipped: bytes[static_cast<size_t>(d.At)] ^= d.Mask; break;
    case Truncate: bytes.resize(static_cast<size_t>(d.At)); break;
    case Extend: bytes += d.Mask; break;
    case Move: {
        const std::string next = dir + "/" + set.Data(set.ReadOrder(d.File) - set.HeaderFiles() + 1);
        host.Write(next, bytes.substr(bytes.size() - 1) + host.Read(next));
        bytes.pop_back();
        break;
    }
    default: break;
    }
    host.Write(path, bytes);
}

// The README's codes: 1 missing, 13 damaged, 14 (verify only) one volume
// lost or damaged that a good parity file rebuilds, which the join then
// does in memory (0). Beyond that, the first bad file in reading order
// decides.
inline TExpect Expected(const TPlan& plan, const TSet& set, const std::vector<TDamage>& damage) {
    TExpect e;
    if (damage.empty())
        return e;
    bool parityGood = plan.Parity;
    for (const TDamage& d : damage)
        parityGood = parityGood && d.Kind != ParityLost && d.Kind != ParityFlipped;
    const TDamage& d = damage[0];
    const int lostOrDamaged = d.Kind == Lose || d.Kind == LoseVolume ? 1 : 13;
    if (plan.DropSfv) {
        const int64_t part = set.ReadOrder(d.File) - set.HeaderFiles();
        switch (d.Kind) {
        case Flip:
            e.FlippedAt = (part - 1) * set.PartSize + d.At;
            e.Mask = d.Mask;
            return e;
        // Two parts of another size than part 001's: the verify run and the
        // join measure each one against it alike.
        case Move: e.Join = 13; e.Verify = 13; return e;
        case ParityLost:
        case ParityFlipped: return e;
        // The join and the verify run read no further than the set's last
        // byte: a byte past it is never seen.
        case Extend: {
            const bool pastTheEnd = part * set.PartSize >= plan.Total();
            e.Join = pastTheEnd || parityGood ? 0 : 13;
            e.Verify = pastTheEnd ? 0 : parityGood ? 14 : 13;
            return e;
        }
        default: e.Join = parityGood ? 0 : lostOrDamaged; e.Verify = parityGood ? 14 : lostOrDamaged; return e;
        }
    }
    int first = 1 << 30, code = 0;
    std::set<int> volumes;
    for (const TDamage& x : damage) {
        if (x.Kind == ParityLost || x.Kind == ParityFlipped) {
            e.Verify = x.Kind == ParityLost ? 1 : 13;
            continue;
        }
        std::vector<std::string> hit = {x.File};
        if (x.Kind == LoseVolume)
            hit = set.VolumeWith(x.File);
        if (x.Kind == Move)
            hit.push_back(set.Data(set.ReadOrder(x.File) - set.HeaderFiles() + 1));
        for (const std::string& name : hit) {
            volumes.insert(set.VolumeOf(name));
            if (set.ReadOrder(name) < first) {
                first = set.ReadOrder(name);
                code = x.Kind == Lose || x.Kind == LoseVolume ? 1 : 13;
            }
        }
    }
    if (volumes.empty())
        return e;
    // Each file with bytes that is hit costs its one slice; a file only too
    // long costs none, though it is rewritten too.
    if (plan.Recovery > 0) {
        std::set<std::string> slices;
        for (const TDamage& x : damage) {
            std::vector<std::string> hit = {x.File};
            if (x.Kind == LoseVolume)
                hit = set.VolumeWith(x.File);
            if (x.Kind == Move)
                hit.push_back(set.Data(set.ReadOrder(x.File) - set.HeaderFiles() + 1));
            for (const std::string& name : hit)
                if (x.Kind != Extend && (set.ReadOrder(name) <= set.HeaderFiles() || set.Data(set.DataParts) != name ||
                                         plan.Total() % set.PartSize != 0))
                    slices.insert(name);
        }
        if (static_cast<int>(slices.size()) <= set.RecoverySlices) {
            e.Verify = 14;
            return e;
        }
    }
    if (volumes.size() == 1 && parityGood) {
        e.Verify = 14;
        return e;
    }
    e.Verify = e.Join = code;
    return e;
}

// ---- one round ---------------------------------------------------------

// The source is back below out: every file and directory, bytes and times,
// and nothing else.
template <class THost>
void CheckJoined(THost& host, const TPlan& plan, const std::vector<std::string>& order, const std::string& out,
                 const TExpect& e) {
    int64_t offset = 0;
    for (const std::string& name : order) {
        for (const TEntry& entry : plan.Entries) {
            if (entry.Name != name)
                continue;
            std::string bytes = entry.Bytes();
            if (e.FlippedAt >= offset && e.FlippedAt < offset + entry.Size)
                bytes[static_cast<size_t>(e.FlippedAt - offset)] ^= e.Mask;
            offset += entry.Size;
            EXPECT_TRUE(host.Exists(out + "/" + name) && bytes == host.Read(out + "/" + name)) << name << " differs";
        }
    }
    size_t found = 0;
    std::vector<std::string> dirs = {out};
    while (!dirs.empty()) {
        const std::string dir = dirs.back();
        dirs.pop_back();
        for (const std::string& name : host.Names(dir)) {
            ++found;
            if (host.IsDir(dir + "/" + name))
                dirs.push_back(dir + "/" + name);
        }
    }
    EXPECT_EQ(plan.Entries.size(), found) << "entries below " << out;
    for (const TEntry& entry : plan.Entries)
        EXPECT_EQ(entry.Time, host.Exists(out + "/" + entry.Name) ? host.Time(out + "/" + entry.Name) : 0)
            << "the time of " << entry.Name;
}

template <class THost>
void RunRound(THost& host, const TPlan& plan, const TLimits& limits, std::map<std::string, int>& tally) {
    host.Fresh();
    for (const TEntry& e : plan.Entries) {
        if (e.Dir)
            host.MakeDir(e.Name);
        else
            host.Write(e.Name, e.Bytes());
    }
    // Deepest first: a directory's time moves with every entry made in it.
    for (auto e = plan.Entries.rbegin(); e != plan.Entries.rend(); ++e)
        host.SetTime(e->Name, e->Time);
    host.MakeDir("parts");
    const bool tooMany = plan.Total() > MaxParts * plan.PartSize;
    const int split = host.Split(plan.Entries[0].Name, "parts", plan.PartSize, plan);
    EXPECT_EQ(int(tooMany ? rcTooManyParts : rcOk), int(split)) << "split";
    ++tally["part size " + plan.SizeLabel];
    if (tooMany) {
        EXPECT_TRUE(host.Names("parts").empty()) << "a refused split writes nothing";
        return;
    }
    const TSet set = ExpectedSet(plan);
    const TFiles written = FilesIn(host, "parts");
    if (split != rcOk)
        return;
    const std::vector<std::string> order = CheckSplit(host, plan, set, written);
    if (::testing::Test::HasFailure())
        return;
    if (plan.DropSfv)
        host.Remove("parts/" + set.Sfv());
    const TFiles pristine = FilesIn(host, "parts");
    TRng rng(plan.Seed ^ 0x5EEDF00Dull);
    auto anyFile = [&](const TFiles& in) {
        std::vector<std::string> names;
        for (const auto& f : in)
            if (set.ReadOrder(f.first) > 0 || f.first == set.Sfv() || f.first == set.Par())
                names.push_back(f.first);
        // With nothing left, a start file that is not there.
        return names.empty() ? set.Sfv() : names[static_cast<size_t>(rng.Below(static_cast<int64_t>(names.size())))];
    };
    EXPECT_EQ(rcOk, host.Verify("parts/" + anyFile(pristine), false)) << "verify of the whole set";
    host.MakeDir("out");
    EXPECT_EQ(rcOk, host.Join("parts/" + anyFile(pristine), "out")) << "join of the whole set";
    CheckJoined(host, plan, order, "out", TExpect());
    for (int n = 0; n < limits.Scenarios && !::testing::Test::HasFailure(); ++n) {
        const std::vector<TDamage> damage = ChooseDamage(rng, plan, set, written);
        const TExpect e = Expected(plan, set, damage);
        const std::string dir = "set" + std::to_string(n), out = "out" + std::to_string(n);
        std::printf("    %s: verify %d, join %d\n", Describe(damage).c_str(), e.Verify, e.Join);
        std::fflush(stdout);
        SCOPED_TRACE(Describe(damage));
        ++tally[damage.empty() ? "no damage" : KindNames[damage[0].Kind]];
        tally["two damages"] += damage.size() > 1;
        host.MakeDir(dir);
        host.MakeDir(out);
        for (const auto& f : pristine)
            host.Write(dir + "/" + f.first, f.second);
        for (const TDamage& d : damage)
            Apply(host, dir, set, d);
        const TFiles damaged = FilesIn(host, dir);
        EXPECT_EQ(e.Verify, host.Verify(dir + "/" + anyFile(damaged), false)) << "verify";
        const int joined = host.Join(dir + "/" + anyFile(damaged), out);
        EXPECT_EQ(e.Join, joined) << "join";
        if (joined == rcOk)
            CheckJoined(host, plan, order, out, e);
        EXPECT_TRUE(damaged == FilesIn(host, dir)) << "verify and join leave the set as it was";
        EXPECT_EQ(e.Verify == rcRepairable ? rcOk : e.Verify, host.Verify(dir + "/" + anyFile(damaged), true))
            << "verify with repair";
        TFiles repaired = e.Verify == rcRepairable ? pristine : damaged;
        if (e.Verify == rcRepairable)
            for (const TDamage& d : damage) {
                if (d.Kind != Lose && d.Kind != LoseVolume)
                    repaired[d.File + ".damaged"] = damaged.at(d.File);
                // A byte moved on damages the next part too: the recovery
                // files rebuild both and keep both.
                const std::string next = set.Data(set.ReadOrder(d.File) - set.HeaderFiles() + 1);
                if (d.Kind == Move && plan.Recovery > 0)
                    repaired[next + ".damaged"] = damaged.at(next);
            }
        EXPECT_TRUE(repaired == FilesIn(host, dir)) << "the set after the repair";
    }
}

// Rounds until the time is up, or the one round asked for.
template <class THost>
void RunRounds(THost& host, const TLimits& limits, double defaultSeconds) {
    const char* replay = std::getenv("FENDRIX_ROUNDTRIP_SEED");
    const char* seconds = std::getenv("FENDRIX_ROUNDTRIP_SECONDS");
    const char* base = std::getenv("FENDRIX_ROUNDTRIP_BASE");
    const double budget = seconds ? std::atof(seconds) : defaultSeconds;
    const auto start = std::chrono::steady_clock::now();
    uint64_t seed = replay ? std::strtoull(replay, nullptr, 10)
                    : base ? std::strtoull(base, nullptr, 10)
                           : static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()) %
                                 1000000000000ull;
    std::map<std::string, int> tally;
    int rounds = 0;
    do {
        const TPlan plan = MakePlan(seed++, limits);
        std::printf("round %d, %s\n", rounds + 1, Describe(plan).c_str());
        std::fflush(stdout);
        SCOPED_TRACE(Describe(plan));
        RunRound(host, plan, limits, tally);
        ++rounds;
        if (::testing::Test::HasFailure())
            std::printf("FAILED: replay with FENDRIX_ROUNDTRIP_SEED=%llu\n", static_cast<unsigned long long>(plan.Seed));
    } while (!replay && !::testing::Test::HasFailure() &&
             std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() < budget);
    std::printf("%d rounds:", rounds);
    for (const auto& t : tally)
        std::printf(" %s %d;", t.first.c_str(), t.second);
    std::printf("\n");
}

}  // namespace roundtrip
