// The PAR 2.0 packet reader on any bytes, as a recovery file beside a set
// may hold them. Odd first byte: the rest is a file as it is. Even: the rest
// describes packets (a type, a set, a body) that are sealed with their right
// MD5, so that the checks past the MD5 are reached. Whatever the reader
// takes stays inside the file and keeps the format's rules.
#include "FuzzInput.h"
#include "index/Par2Packets.h"

#include <cstring>

namespace {

const char* const Types[] = {Par2MainType, Par2FileDescType, Par2SliceChecksType, Par2RecoveryType,
                             Par2CreatorType};

std::string Sealed(TFuzzInput& input) {
    std::string file;
    TPar2Id sets[2] = {};
    sets[1][0] = 1;
    while (!input.Empty()) {
        const uint8_t kind = input.Byte();
        std::string body = input.Text(255);
        // Bodies of the sizes the types take, now and then.
        if (kind & 0x10)
            body.resize((body.size() / 4) * 4 + ((kind >> 5) & 3) * 4, '\0');
        file += Par2Packet(sets[kind >> 7], Types[(kind & 0x0F) % 5], body);
        if (kind & 0x40)
            file += input.Text(7);
    }
    return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TFuzzInput input(data, size);
    const std::string file = (input.Byte() & 1) ? input.Rest() : Sealed(input);
    std::vector<TPar2Set> sets;
    const TPar2ReadAt read = [&](uint64_t offset, void* into, size_t count) -> size_t {
        if (offset >= file.size())
            return 0;
        const size_t n = std::min<size_t>(count, file.size() - static_cast<size_t>(offset));
        std::memcpy(into, file.data() + offset, n);
        return n;
    };
    ReadPar2Packets(read, file.size(), 7, sets);
    // The recovery slices' packets checked afterwards, side by side, take
    // at least the same slices: where damaged packets overlap, the scan
    // of what one claimed may find more sound ones.
    {
        std::vector<TPar2Set> later;
        std::vector<TPar2UncheckedSlice> unchecked;
        ReadPar2Packets(read, file.size(), 7, later, &unchecked);
        std::vector<uint8_t> sound(unchecked.size());
        const TPar2ReadFileAt readFile = [&](int, uint64_t offset, void* into, size_t count) {
            return read(offset, into, count);
        };
        CheckPar2Packets(readFile, unchecked.data(), unchecked.size(), sound.data());
        std::vector<uint64_t> sizes(8, file.size());
        AddCheckedPar2Slices(readFile, sizes, unchecked, sound, later);
        for (const TPar2Set& set : sets) {
            for (const TPar2RecoverySlice& slice : set.RecoverySlices) {
                bool found = false;
                for (const TPar2RecoverySlice& other : Par2SetOf(later, set.SetId).RecoverySlices)
                    found = found || (other.DataOffset == slice.DataOffset && other.Exponent == slice.Exponent);
                FUZZ_CHECK(found);
            }
        }
    }
    for (size_t i = 0; i < sets.size(); ++i) {
        const TPar2Set& set = sets[i];
        for (size_t j = 0; j < i; ++j)
            FUZZ_CHECK(sets[j].SetId != set.SetId);
        if (set.HasMain)
            FUZZ_CHECK(set.SliceSize > 0 && set.SliceSize % 4 == 0);
        for (const TPar2RecoverySlice& slice : set.RecoverySlices) {
            FUZZ_CHECK(slice.DataOffset <= file.size() && slice.DataLength <= file.size() - slice.DataOffset);
            FUZZ_CHECK(slice.File == 7);
        }
        for (const TPar2FileEntry& entry : set.Files) {
            FUZZ_CHECK(set.File(entry.Id) == &entry);
            FUZZ_CHECK(entry.Name.find('\0') == std::string::npos);
        }
        if (set.Complete()) {
            for (const TPar2Id& fileId : set.Recoverable)
                FUZZ_CHECK(set.File(fileId)->Slices.size() == Par2SliceCount(set.File(fileId)->Length, set.SliceSize));
        }
    }
    return 0;
}
