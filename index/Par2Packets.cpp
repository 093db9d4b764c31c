#include "Par2Packets.h"

#include "foundation/checksum/Md5Lanes.h"

#include <algorithm>
#include <cstring>

const char Par2MainType[16] = {'P', 'A', 'R', ' ', '2', '.', '0', '\0', 'M', 'a', 'i', 'n', 0, 0, 0, 0};
const char Par2FileDescType[16] = {'P', 'A', 'R', ' ', '2', '.', '0', '\0', 'F', 'i', 'l', 'e', 'D', 'e', 's', 'c'};
const char Par2SliceChecksType[16] = {'P', 'A', 'R', ' ', '2', '.', '0', '\0', 'I', 'F', 'S', 'C', 0, 0, 0, 0};
const char Par2RecoveryType[16] = {'P', 'A', 'R', ' ', '2', '.', '0', '\0', 'R', 'e', 'c', 'v', 'S', 'l', 'i', 'c'};
const char Par2CreatorType[16] = {'P', 'A', 'R', ' ', '2', '.', '0', '\0', 'C', 'r', 'e', 'a', 't', 'o', 'r', 0};

namespace {

const char Magic[8] = {'P', 'A', 'R', '2', '\0', 'P', 'K', 'T'};
// A description, checksum or main packet larger than this is no packet of
// a set that anyone made: its body is not read into memory.
constexpr uint64_t LargestHeldBody = uint64_t(64) << 20;

void PutU32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>(v >> (8 * i));
}

void PutU64(std::string& out, uint64_t v) {
    for (int i = 0; i < 8; ++i)
        out += static_cast<char>(v >> (8 * i));
}

void PutBytes(std::string& out, const void* data, size_t count) {
    out.append(static_cast<const char*>(data), count);
}

uint64_t GetU64(const uint8_t* p) {
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i)
        v = v << 8 | p[i];
    return v;
}

uint32_t GetU32(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

TMd5Digest GetDigest(const uint8_t* p) {
    TMd5Digest d;
    std::memcpy(d.data(), p, 16);
    return d;
}

void PadToFour(std::string& out) {
    while (out.size() % 4 != 0)
        out += '\0';
}

// Where the next magic begins at or after from, or size when none does.
uint64_t NextMagic(const TPar2ReadAt& read, uint64_t size, uint64_t from) {
    // Packets mostly follow one another: the next one starts right here.
    uint8_t first[sizeof Magic];
    if (from + sizeof Magic <= size && read(from, first, sizeof first) == sizeof first &&
        std::memcmp(first, Magic, sizeof Magic) == 0)
        return from;
    std::vector<uint8_t> chunk(1 << 16);
    while (from + sizeof Magic <= size) {
        const size_t want = static_cast<size_t>(std::min<uint64_t>(chunk.size(), size - from));
        const size_t got = read(from, chunk.data(), want);
        if (got < sizeof Magic)
            return size;
        const uint8_t* begin = chunk.data();
        const uint8_t* end = begin + got;
        const uint8_t* hit = std::search(begin, end, reinterpret_cast<const uint8_t*>(Magic),
                                         reinterpret_cast<const uint8_t*>(Magic) + sizeof Magic);
        if (hit != end)
            return from + static_cast<uint64_t>(hit - chunk.data());
        from += got - (sizeof Magic - 1);
    }
    return size;
}

struct TPacketView {
    TPar2Id SetId{};
    char Type[16] = {};
    uint64_t Offset = 0;
    uint64_t Length = 0;
    TMd5Digest Md5{};
    // The body, when it is not a recovery slice's.
    std::vector<uint8_t> Body;
};

bool IsType(const TPacketView& p, const char* type) {
    return std::memcmp(p.Type, type, 16) == 0;
}

void TakeMain(const TPacketView& p, TPar2Set& set) {
    const std::vector<uint8_t>& b = p.Body;
    if (b.size() < 12 || (b.size() - 12) % 16 != 0)
        return;
    const uint64_t sliceSize = GetU64(b.data());
    const uint32_t count = GetU32(b.data() + 8);
    if (sliceSize == 0 || sliceSize % 4 != 0 || count > (b.size() - 12) / 16)
        return;
    set.HasMain = true;
    set.SliceSize = sliceSize;
    set.Recoverable.clear();
    for (uint32_t i = 0; i < count; ++i)
        set.Recoverable.push_back(GetDigest(b.data() + 12 + 16 * i));
}

void TakeFileDesc(const TPacketView& p, TPar2Set& set) {
    const std::vector<uint8_t>& b = p.Body;
    if (b.size() < 56)
        return;
    TPar2FileEntry& file = set.FileEntry(GetDigest(b.data()));
    file.Hash = GetDigest(b.data() + 16);
    file.Head = GetDigest(b.data() + 32);
    file.Length = GetU64(b.data() + 48);
    std::string name(reinterpret_cast<const char*>(b.data() + 56), b.size() - 56);
    // The name is padded with zeros to a multiple of 4; a name holds none.
    name.erase(std::find(name.begin(), name.end(), '\0'), name.end());
    file.Name = name;
}

void TakeSliceChecks(const TPacketView& p, TPar2Set& set) {
    const std::vector<uint8_t>& b = p.Body;
    if (b.size() < 16 || (b.size() - 16) % 20 != 0)
        return;
    TPar2FileEntry& file = set.FileEntry(GetDigest(b.data()));
    file.Slices.clear();
    for (size_t at = 16; at < b.size(); at += 20)
        file.Slices.push_back(TPar2SliceCheck{GetDigest(b.data() + at), GetU32(b.data() + at + 16)});
}

// Reads the packet at offset; true with view filled when it is whole and
// its MD5 holds, or, with checkLater, when it is a recovery slice's whose
// MD5 is left to the caller.
bool ReadPacket(const TPar2ReadAt& read, uint64_t size, uint64_t offset, TPacketView& view, bool checkLater) {
    uint8_t head[Par2HeaderSize];
    if (size - offset < Par2HeaderSize || read(offset, head, sizeof head) != sizeof head ||
        std::memcmp(head, Magic, sizeof Magic) != 0)
        return false;
    const uint64_t length = GetU64(head + 8);
    if (length < Par2HeaderSize || length % 4 != 0 || length > size - offset)
        return false;
    view.Offset = offset;
    view.Length = length;
    view.SetId = GetDigest(head + 32);
    view.Md5 = GetDigest(head + 16);
    std::memcpy(view.Type, head + 48, 16);
    const bool held = !IsType(view, Par2RecoveryType);
    if (held && length - Par2HeaderSize > LargestHeldBody)
        return false;
    view.Body.clear();
    if (!held) {
        uint8_t exponent[4];
        if (length < Par2HeaderSize + 4 || read(offset + Par2HeaderSize, exponent, 4) != 4)
            return false;
        view.Body.assign(exponent, exponent + 4);
        if (checkLater)
            return true;
    }
    TMd5 md5;
    md5.Add(head + 32, 32);
    std::vector<uint8_t> chunk(static_cast<size_t>(std::min<uint64_t>(length - Par2HeaderSize, 1 << 20)));
    for (uint64_t at = Par2HeaderSize; at < length;) {
        const size_t want = static_cast<size_t>(std::min<uint64_t>(chunk.size(), length - at));
        if (read(offset + at, chunk.data(), want) != want)
            return false;
        md5.Add(chunk.data(), want);
        if (held)
            view.Body.insert(view.Body.end(), chunk.begin(), chunk.begin() + want);
        at += want;
    }
    return md5.Finish() == view.Md5;
}

// Sets sound for count packets of one length (up to eight).
void CheckGroup(const TPar2ReadFileAt& read, const TPar2UncheckedSlice* const* group, size_t count, uint8_t* const* sound) {
    // What the MD5 covers: from the set ID on, which starts a block.
    const uint64_t length = group[0]->PacketLength - 32;
    // Steps of whole blocks, no larger than the packets need.
    const size_t Step = static_cast<size_t>(std::min<uint64_t>(uint64_t(1) << 20, (length + 63) / 64 * 64));
    std::vector<uint8_t> buffers(count * Step);
    TMd5 md5[Md5LaneCount];
    TMd5* contexts[Md5LaneCount];
    const uint8_t* data[Md5LaneCount];
    bool whole[Md5LaneCount];
    for (size_t k = 0; k < count; ++k) {
        contexts[k] = &md5[k];
        data[k] = buffers.data() + k * Step;
        whole[k] = true;
    }
    for (uint64_t done = 0; done < length; done += Step) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(Step, length - done));
        for (size_t k = 0; k < count; ++k) {
            const TPar2UncheckedSlice& packet = *group[k];
            whole[k] = whole[k] && read(packet.Slice.File, packet.PacketOffset + 32 + done, buffers.data() + k * Step, n) == n;
        }
        Md5AddSideBySide(contexts, data, count, n);
    }
    for (size_t k = 0; k < count; ++k)
        *sound[k] = whole[k] && md5[k].Finish() == group[k]->Md5;
}

}  // namespace

bool Par2IdBefore(const TPar2Id& a, const TPar2Id& b) {
    for (int i = 15; i >= 0; --i) {
        if (a[i] != b[i])
            return a[i] < b[i];
    }
    return false;
}

TPar2Id Par2FileId(const TMd5Digest& head, uint64_t length, const std::string& name) {
    std::string text;
    PutBytes(text, head.data(), 16);
    PutU64(text, length);
    text += name;
    return Md5Of(text.data(), text.size());
}

uint64_t Par2SliceCount(uint64_t length, uint64_t sliceSize) {
    return length / sliceSize + (length % sliceSize != 0 ? 1 : 0);
}

std::string Par2MainBody(uint64_t sliceSize, const std::vector<TPar2Id>& fileIds) {
    std::string body;
    PutU64(body, sliceSize);
    PutU32(body, static_cast<uint32_t>(fileIds.size()));
    for (const TPar2Id& id : fileIds)
        PutBytes(body, id.data(), 16);
    return body;
}

std::string Par2FileDescBody(const TPar2FileEntry& file) {
    std::string body;
    PutBytes(body, file.Id.data(), 16);
    PutBytes(body, file.Hash.data(), 16);
    PutBytes(body, file.Head.data(), 16);
    PutU64(body, file.Length);
    body += file.Name;
    PadToFour(body);
    return body;
}

std::string Par2SliceChecksBody(const TPar2FileEntry& file) {
    std::string body;
    PutBytes(body, file.Id.data(), 16);
    for (const TPar2SliceCheck& slice : file.Slices) {
        PutBytes(body, slice.Md5.data(), 16);
        PutU32(body, slice.Crc);
    }
    return body;
}

std::string Par2CreatorBody(const std::string& creator) {
    std::string body = creator;
    PadToFour(body);
    return body;
}

TMd5 Par2PacketHashStart(const TPar2Id& setId, const char* type) {
    TMd5 md5;
    md5.Add(setId.data(), 16);
    md5.Add(type, 16);
    return md5;
}

std::string Par2PacketHeader(uint64_t bodyLength, const TMd5Digest& hash, const TPar2Id& setId, const char* type) {
    std::string head(Magic, sizeof Magic);
    PutU64(head, Par2HeaderSize + bodyLength);
    PutBytes(head, hash.data(), 16);
    PutBytes(head, setId.data(), 16);
    PutBytes(head, type, 16);
    return head;
}

std::string Par2Packet(const TPar2Id& setId, const char* type, const std::string& body) {
    TMd5 md5 = Par2PacketHashStart(setId, type);
    md5.Add(body.data(), body.size());
    return Par2PacketHeader(body.size(), md5.Finish(), setId, type) + body;
}

std::string Par2VolumeName(const std::string& base, uint32_t first, uint32_t count, uint32_t total,
                           uint32_t largestCount) {
    const auto padded = [](uint32_t value, uint32_t widest) {
        std::string digits = std::to_string(value);
        const size_t width = std::to_string(widest).size();
        return std::string(width > digits.size() ? width - digits.size() : 0, '0') + digits;
    };
    return base + ".vol" + padded(first, total) + "+" + padded(count, largestCount) + ".par2";
}

const TPar2FileEntry* TPar2Set::File(const TPar2Id& id) const {
    for (const TPar2FileEntry& file : Files) {
        if (file.Id == id)
            return &file;
    }
    return nullptr;
}

TPar2FileEntry& TPar2Set::FileEntry(const TPar2Id& id) {
    for (TPar2FileEntry& file : Files) {
        if (file.Id == id)
            return file;
    }
    Files.emplace_back();
    Files.back().Id = id;
    return Files.back();
}

bool TPar2Set::Complete() const {
    if (!HasMain)
        return false;
    for (const TPar2Id& id : Recoverable) {
        const TPar2FileEntry* file = File(id);
        if (!file || file->Name.empty() || file->Slices.size() != Par2SliceCount(file->Length, SliceSize))
            return false;
    }
    return true;
}

void ReadPar2Packets(const TPar2ReadAt& read, uint64_t size, int fileIndex, std::vector<TPar2Set>& sets,
                     std::vector<TPar2UncheckedSlice>* unchecked, uint64_t from, uint64_t to) {
    const uint64_t end = std::min(size, to);
    uint64_t at = NextMagic(read, size, from);
    TPacketView view;
    while (at < end) {
        if (!ReadPacket(read, size, at, view, unchecked != nullptr)) {
            at = NextMagic(read, size, at + 1);
            continue;
        }
        TPar2Set& set = Par2SetOf(sets, view.SetId);
        if (IsType(view, Par2MainType)) {
            TakeMain(view, set);
        } else if (IsType(view, Par2FileDescType)) {
            TakeFileDesc(view, set);
        } else if (IsType(view, Par2SliceChecksType)) {
            TakeSliceChecks(view, set);
        } else if (IsType(view, Par2RecoveryType)) {
            const TPar2RecoverySlice slice{GetU32(view.Body.data()), at + Par2HeaderSize + 4,
                                           view.Length - Par2HeaderSize - 4, fileIndex};
            if (unchecked)
                unchecked->push_back(TPar2UncheckedSlice{slice, view.SetId, at, view.Length, view.Md5});
            else
                set.RecoverySlices.push_back(slice);
        }
        at = NextMagic(read, size, at + view.Length);
    }
}

TPar2Set& Par2SetOf(std::vector<TPar2Set>& sets, const TPar2Id& id) {
    for (TPar2Set& set : sets) {
        if (set.SetId == id)
            return set;
    }
    sets.emplace_back();
    sets.back().SetId = id;
    return sets.back();
}

void CheckPar2Packets(const TPar2ReadFileAt& read, const TPar2UncheckedSlice* packets, size_t count, uint8_t* sound) {
    std::vector<uint8_t> taken(count);
    for (size_t first = 0; first < count; ++first) {
        if (taken[first])
            continue;
        const TPar2UncheckedSlice* group[Md5LaneCount];
        uint8_t* results[Md5LaneCount];
        size_t n = 0;
        for (size_t k = first; k < count && n < Md5LaneCount; ++k) {
            if (!taken[k] && packets[k].PacketLength == packets[first].PacketLength) {
                taken[k] = 1;
                group[n] = &packets[k];
                results[n++] = &sound[k];
            }
        }
        CheckGroup(read, group, n, results);
    }
}

void AddCheckedPar2Slices(const TPar2ReadFileAt& read, const std::vector<uint64_t>& sizes,
                          const std::vector<TPar2UncheckedSlice>& packets, const std::vector<uint8_t>& sound,
                          std::vector<TPar2Set>& sets) {
    for (size_t k = 0; k < packets.size(); ++k) {
        const TPar2UncheckedSlice& packet = packets[k];
        if (sound[k]) {
            Par2SetOf(sets, packet.SetId).RecoverySlices.push_back(packet.Slice);
            continue;
        }
        const int file = packet.Slice.File;
        ReadPar2Packets([&](uint64_t offset, void* into, size_t count) { return read(file, offset, into, count); },
                        sizes[static_cast<size_t>(file)], file, sets, nullptr, packet.PacketOffset + 1,
                        packet.PacketOffset + packet.PacketLength);
    }
}
