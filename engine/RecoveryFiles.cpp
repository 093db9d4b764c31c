#include "RecoveryFiles.h"

#include "UnitFendrix.h"

#include "foundation/UnitFileStream.h"
#include "foundation/UnitImport.h"
#include "foundation/UnitLanguage.h"
#include "foundation/platform/WorkerThread.h"
#include "foundation/checksum/Crc32.h"
#include "foundation/checksum/Gf16.h"

#include <algorithm>
#include <cstring>
#include <exception>

const char* const RecoveryCreator = "Fendrix";

namespace {

// The bytes read and worked on in one step: small enough to stay in the
// cache while both threads go over them.
constexpr size_t StepBytes = size_t(1) << 20;
// No window is made narrower than this however many slices there are: a
// pass reads a piece of every part.
constexpr uint64_t NarrowestWindow = uint64_t(64) << 10;
// The band of every input read for one window takes at most this much:
// it stays in the last-level cache (32 MiB here) while both threads go
// over it, and a fresh one costs little in page faults.
constexpr uint64_t RecoveryBandLimit = uint64_t(16) << 20;
// The piece of a window that every input is added into at once: with half
// of twenty recovery slices it stays in a core's second-level cache.
constexpr uint64_t CachedPiece = uint64_t(32) << 10;

struct TInputSlice {
    const TRecoveryInput* Input = nullptr;
    TPar2FileEntry Entry;
    TMd5 Hash;
    TCrc32 Crc;
    // c_i^e for every recovery exponent e, the slice's factors.
    std::vector<uint16_t> Factors;
};

void ReadExactly(TFileStreamLite& file, char* into, size_t count, const std::string& path) {
    if (file.ReadAll(into, count) != count)
        throw EExceptionLite(LangText(msgFileShrank, {path}));
}

TMd5Digest HeadHash(const TRecoveryInput& input) {
    std::unique_ptr<TFileStreamLite> file = TFileStreamLite::OpenForReading(input.Path);
    std::vector<char> head(static_cast<size_t>(std::min<int64_t>(input.Size, Par2HashedHead)));
    ReadExactly(*file, head.data(), head.size(), input.Path);
    return Md5Of(head.data(), head.size());
}

// Feeds count zero bytes: the padding of a file's last slice.
void AddZeros(TMd5& md5, TCrc32& crc, uint64_t count) {
    // On the heap: a static array of zeros is stored whole in the program file.
    const std::vector<char> zeros(static_cast<size_t>(std::min<uint64_t>(count, StepBytes)));
    while (count > 0) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(count, zeros.size()));
        md5.Add(zeros.data(), n);
        crc.Add(zeros.data(), n);
        count -= n;
    }
}

std::string DescriptionPackets(const TPar2Id& setId, const std::string& mainBody,
                               const std::vector<TInputSlice>& slices) {
    std::string text = Par2Packet(setId, Par2MainType, mainBody);
    for (const TInputSlice& slice : slices) {
        text += Par2Packet(setId, Par2FileDescType, Par2FileDescBody(slice.Entry));
        text += Par2Packet(setId, Par2SliceChecksType, Par2SliceChecksBody(slice.Entry));
    }
    return text + Par2Packet(setId, Par2CreatorType, Par2CreatorBody(RecoveryCreator));
}

// A recovery slice's exponent as its packet holds it, little-endian.
std::string ExponentBytes(uint32_t e) {
    return {static_cast<char>(e), static_cast<char>(e >> 8), static_cast<char>(e >> 16), static_cast<char>(e >> 24)};
}

}  // namespace

void PrepareForSecondThread() {
    // Long enough for every way of the CRC and the multiply-add.
    std::vector<char> bytes(4096, 1), sums(4096);
    Crc32(0, bytes.data(), bytes.size());
    void* target = sums.data();
    const uint16_t factor = 3;
    Gf16MultiplyAddInto(bytes.data(), &factor, &target, 1, bytes.size());
    TMd5 md5;
    TMd5* contexts[] = {&md5};
    const uint8_t* data[] = {reinterpret_cast<const uint8_t*>(bytes.data())};
    Md5AddSideBySide(contexts, data, 1, 64);
}

bool IsRecoveryFileName(const std::string& name, const std::string& firstName) {
    const std::string upper = UpperText(name);
    const std::string stem = UpperText(firstName);
    if (upper == stem + ".PAR2")
        return true;
    const std::string volume = stem + ".VOL";
    return upper.size() > volume.size() + 5 && upper.compare(0, volume.size(), volume) == 0 &&
           upper.compare(upper.size() - 5, 5, ".PAR2") == 0;
}

uint64_t RecoverySliceSize(int64_t partSize) {
    return (static_cast<uint64_t>(partSize) + 3) / 4 * 4;
}

uint32_t RecoverySlicesFor(uint32_t lostVolumes, bool sharedVolume) {
    return lostVolumes == 0 ? 0 : lostVolumes + (sharedVolume ? 1 : 0);
}

uint64_t RecoveryWindow(uint64_t sliceSize, uint32_t recoverySlices) {
    const uint64_t share = static_cast<uint64_t>(RecoveryMemoryLimit) / std::max<uint32_t>(recoverySlices, 1) / 4 * 4;
    return std::min(sliceSize, std::max(share, NarrowestWindow));
}

std::vector<TSfvLine> WriteRecoveryFiles(const std::vector<TRecoveryInput>& inputs, const TRecoveryOptions& options,
                                         bool& cancelled) {
    cancelled = false;
    const uint64_t sliceSize = options.SliceSize;
    const uint32_t count = options.RecoverySlices;
    std::vector<TInputSlice> slices;
    for (const TRecoveryInput& input : inputs) {
        if (input.Size <= 0)
            continue;
        TInputSlice slice;
        slice.Input = &input;
        slice.Entry.Length = static_cast<uint64_t>(input.Size);
        slice.Entry.Name = input.Name;
        slice.Entry.Head = HeadHash(input);
        slice.Entry.Id = Par2FileId(slice.Entry.Head, slice.Entry.Length, input.Name);
        slices.push_back(std::move(slice));
    }
    // The input slices are numbered in the order of the file IDs.
    // An insertion sort: a set has at most a few thousand files, and the
    // library's sort of this type would take more room in the program.
    for (size_t i = 1; i < slices.size(); ++i) {
        for (size_t j = i; j > 0 && Par2IdBefore(slices[j].Entry.Id, slices[j - 1].Entry.Id); --j)
            std::swap(slices[j], slices[j - 1]);
    }
    std::vector<TPar2Id> ids;
    for (size_t i = 0; i < slices.size(); ++i) {
        ids.push_back(slices[i].Entry.Id);
        const uint16_t constant = Par2InputConstant(static_cast<uint32_t>(i));
        for (uint32_t e = 0; e < count; ++e)
            slices[i].Factors.push_back(Gf16Power(constant, e));
    }
    const std::string mainBody = Par2MainBody(sliceSize, ids);
    const TPar2Id setId = Md5Of(mainBody.data(), mainBody.size());

    // Each recovery file begins with its slice's packet, whose header is
    // known only once the last window is written.
    std::vector<std::unique_ptr<TFileStreamLite>> volumes;
    std::vector<std::string> volumeNames;
    std::vector<TMd5> volumeHashes(count, Par2PacketHashStart(setId, Par2RecoveryType));
    // The CRC-32 of each recovery slice's bytes, for the sfv file's line of
    // its recovery file, whose head is written last.
    std::vector<TCrc32> volumeCrcs(count);
    for (uint32_t e = 0; e < count; ++e) {
        volumeNames.push_back(Par2VolumeName(options.Prefix, e, 1, count, 1));
        volumes.push_back(options.Create(volumeNames.back()));
        if (!volumes.back()) {
            cancelled = true;
            return {};
        }
        const std::string exponent = ExponentBytes(e);
        volumeHashes[e].Add(exponent.data(), 4);
        const std::string placeholder(Par2HeaderSize, '\0');
        volumes.back()->WriteAll(placeholder.data(), placeholder.size(), WriteErrorText);
        volumes.back()->WriteAll(exponent.data(), 4, WriteErrorText);
    }

    // A window of every recovery slice, and the same bytes of every input
    // slice read beside it (a band), so that each piece of the recovery
    // slices takes all the inputs while it is in the cache.
    // Windows of whole MD5 blocks keep every part's hash at a block's start,
    // where the parts go side by side through the vector lanes.
    uint64_t window = std::min(RecoveryWindow(sliceSize, count),
                               std::max<uint64_t>(RecoveryBandLimit / std::max<size_t>(slices.size(), 1), NarrowestWindow));
    if (window < sliceSize)
        window = window / 64 * 64;
    std::vector<char> recovery(static_cast<size_t>(window * count));
    std::vector<char> band(static_cast<size_t>(window * slices.size() + 2));
    // Each input stays open from window to window, read by one thread.
    std::vector<std::unique_ptr<TFileStreamLite>> openInputs(slices.size());
    // The two threads take half the recovery slices each and the checksums
    // of half the inputs each: no slice has two writers.
    const uint32_t half = count / 2;
    const size_t hashedHere = slices.size() / 2;
    PrepareForSecondThread();
    TWorkerThread worker;
    int64_t done = 0;
    for (uint64_t start = 0; start < sliceSize; start += window) {
        const uint64_t width = std::min(window, sliceSize - start);
        std::fill(recovery.begin(), recovery.end(), 0);
        // Each thread reads the inputs it hashes; both then need all of them.
        std::vector<size_t> held(slices.size());
        const auto read = [&](size_t from, size_t to) {
            for (size_t i = from; i < to; ++i) {
                if (start >= slices[i].Entry.Length)
                    continue;
                const std::string& path = slices[i].Input->Path;
                if (!openInputs[i])
                    openInputs[i] = TFileStreamLite::OpenForReading(path);
                TFileStreamLite* file = openInputs[i].get();
                file->Seek(static_cast<int64_t>(start), static_cast<uint8_t>(TSeekOrigin::Begin));
                held[i] = static_cast<size_t>(std::min(width, slices[i].Entry.Length - start));
                char* into = band.data() + i * window;
                ReadExactly(*file, into, held[i], path);
                // The words are 16 bits: an odd end is padded as the slice
                // is (the band has room for it).
                if (held[i] % 2 != 0)
                    into[held[i]] = 0;
            }
        };
        RunBoth(worker, [&] { read(0, hashedHere); }, [&] { read(hashedHere, slices.size()); });
        const auto share = [&](size_t hashFrom, size_t hashTo, uint32_t from, uint32_t to) {
            std::vector<TMd5*> full;
            std::vector<const uint8_t*> fullData;
            for (size_t i = hashFrom; i < hashTo; ++i) {
                const char* bytes = band.data() + i * window;
                slices[i].Crc.Add(bytes, held[i]);
                if (held[i] == width) {
                    full.push_back(&slices[i].Hash);
                    fullData.push_back(reinterpret_cast<const uint8_t*>(bytes));
                } else {
                    slices[i].Hash.Add(bytes, held[i]);
                }
            }
            Md5AddSideBySide(full.data(), fullData.data(), full.size(), static_cast<size_t>(width));
            std::vector<void*> targets(count);
            for (uint64_t piece = 0; piece < width && to > from; piece += CachedPiece) {
                for (uint32_t e = from; e < to; ++e)
                    targets[e] = recovery.data() + e * window + piece;
                for (size_t i = 0; i < slices.size(); ++i) {
                    if (held[i] <= piece)
                        continue;
                    const size_t n = static_cast<size_t>(std::min<uint64_t>(CachedPiece, held[i] - piece));
                    Gf16MultiplyAddInto(band.data() + i * window + piece, slices[i].Factors.data() + from,
                                        targets.data() + from, to - from, (n + 1) / 2 * 2);
                }
            }
        };
        RunBoth(worker, [&] { share(0, hashedHere, 0, half); }, [&] { share(hashedHere, slices.size(), half, count); });
        for (size_t n : held)
            done += static_cast<int64_t>(n);
        if (options.Progress && !options.Progress(done)) {
            cancelled = true;
            return {};
        }
        // The recovery slices' packet hashes, which all stand at the same
        // place, side by side on both threads.
        const auto hash = [&](uint32_t from, uint32_t to) {
            std::vector<TMd5*> hashes;
            std::vector<const uint8_t*> data;
            for (uint32_t e = from; e < to; ++e) {
                hashes.push_back(&volumeHashes[e]);
                data.push_back(reinterpret_cast<const uint8_t*>(recovery.data() + e * window));
                volumeCrcs[e].Add(recovery.data() + e * window, static_cast<size_t>(width));
            }
            Md5AddSideBySide(hashes.data(), data.data(), hashes.size(), static_cast<size_t>(width));
        };
        RunBoth(worker, [&] { hash(0, half); }, [&] { hash(half, count); });
        for (uint32_t e = 0; e < count; ++e)
            volumes[e]->WriteAll(recovery.data() + e * window, static_cast<size_t>(width), WriteErrorText);
    }
    for (TInputSlice& slice : slices) {
        TMd5 padded = slice.Hash;
        slice.Entry.Hash = slice.Hash.Finish();
        TCrc32 crc = slice.Crc;
        AddZeros(padded, crc, Par2SliceCount(slice.Entry.Length, sliceSize) * sliceSize - slice.Entry.Length);
        slice.Entry.Slices = {TPar2SliceCheck{padded.Finish(), crc.Value}};
    }

    const std::string description = DescriptionPackets(setId, mainBody, slices);
    std::vector<TSfvLine> lines;
    const std::string indexName = options.Prefix + ".par2";
    std::unique_ptr<TFileStreamLite> index = options.Create(indexName);
    if (!index) {
        cancelled = true;
        return {};
    }
    index->WriteAll(description.data(), description.size(), WriteErrorText);
    index->Close();
    const uint32_t descriptionCrc = Crc32(0, description.data(), description.size());
    lines.push_back(TSfvLine{FileNamePart(indexName, NativePathStyle), descriptionCrc});
    for (uint32_t e = 0; e < count; ++e) {
        volumes[e]->WriteAll(description.data(), description.size(), WriteErrorText);
        volumes[e]->Seek(0, static_cast<uint8_t>(TSeekOrigin::Begin));
        const std::string header = Par2PacketHeader(4 + sliceSize, volumeHashes[e].Finish(), setId, Par2RecoveryType);
        volumes[e]->WriteAll(header.data(), header.size(), WriteErrorText);
        volumes[e]->Close();
        volumes[e].reset();
        // The file is its packet's header and exponent, the slice, then
        // the description: its CRC follows from theirs, unread.
        const std::string exponent = ExponentBytes(e);
        const uint32_t head = Crc32(Crc32(0, header.data(), header.size()), exponent.data(), 4);
        const uint32_t crc =
            Crc32Combine(Crc32Combine(head, volumeCrcs[e].Value, sliceSize), descriptionCrc, description.size());
        lines.push_back(TSfvLine{FileNamePart(volumeNames[e], NativePathStyle), crc});
    }
    return lines;
}
