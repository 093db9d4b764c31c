#include "RecoveryRepair.h"

#include "RecoveryFiles.h"
#include "UnitFendrix.h"

#include "foundation/UnitFileStream.h"
#include "foundation/UnitImport.h"
#include "foundation/UnitLanguage.h"
#include "foundation/checksum/Crc32.h"
#include "foundation/checksum/Gf16.h"
#include "foundation/checksum/Md5Lanes.h"
#include "foundation/platform/FileSystem.h"
#include "foundation/platform/WorkerThread.h"
#include "index/PartNames.h"

#include <algorithm>
#include <memory>

namespace {

constexpr size_t StepBytes = size_t(1) << 20;
// Other choices of recovery slices tried where the first one's matrix has
// no inverse.
constexpr int ChoicesTried = 16;

// Reads up to count bytes at offset; fewer only at the file's end.
size_t ReadAt(TFileStreamLite& file, uint64_t offset, void* into, size_t count) {
    file.Seek(static_cast<int64_t>(offset), static_cast<uint8_t>(TSeekOrigin::Begin));
    return file.ReadAll(into, count);
}

// A name that recovery data may make this program open or write: a plain
// name of one of the set's own files. Anything else that a description
// names stays unread.
bool IsSetFileName(const std::string& name, const std::string& stem) {
    if (name.empty() || name.find_first_of("/\\:") != std::string::npos || name[0] == '.')
        return false;
    for (unsigned char c : name) {
        if (c < 0x20)
            return false;
    }
    bool header = false;
    if (PartNumberOf(name, stem, header) > 0)
        return true;
    const std::string upper = UpperText(name);
    return upper == UpperText(stem + "sfv") || upper == UpperText(stem + "par");
}

}  // namespace

TFolderAccess::TFolderAccess(const std::string& dir) : Dir(AddTrailingBackslash(dir, NativePathStyle)) {}

TFolderAccess::~TFolderAccess() = default;

std::string TFolderAccess::PathOf(const std::string& name) const {
    for (const auto& [moved, path] : Moved) {
        if (moved == name)
            return path;
    }
    return Dir + name;
}

bool TFolderAccess::Size(const std::string& name, uint64_t& size) {
    TEntryInfo info;
    if (!OsQueryPath(PathOf(name), info) || info.Kind != TEntryKind::File)
        return false;
    size = static_cast<uint64_t>(info.Size);
    return true;
}

size_t TFolderAccess::Read(const std::string& name, uint64_t offset, void* into, size_t count) {
    std::unique_ptr<TFileStreamLite> file = TFileStreamLite::OpenForReading(PathOf(name));
    return ReadAt(*file, offset, into, count);
}

void TFolderAccess::Create(const std::string& name, uint64_t) {
    Outputs.emplace_back(name, TFileStreamLite::CreateForWriting(Target ? Target(name) : Dir + name));
}

void TFolderAccess::Write(const std::string& name, uint64_t offset, const char* data, size_t count) {
    TFileStreamLite* output = nullptr;
    for (auto& [created, file] : Outputs) {
        if (created == name)
            output = file.get();
    }
    TFileStreamLite& file = *output;
    file.Seek(static_cast<int64_t>(offset), static_cast<uint8_t>(TSeekOrigin::Begin));
    file.WriteAll(data, count, WriteErrorText);
}

void TFolderAccess::Finish() {
    for (auto& [name, file] : Outputs)
        file->Close();
    Outputs.clear();
}

bool TRecoveryRepair::Load(const std::string& dir, const std::string& stem) {
    IsLoaded = false;
    Dir = AddTrailingBackslash(dir, NativePathStyle);
    const std::string setName = stem.substr(0, stem.size() - 1);
    TDirectoryReader reader(dir);
    TEntryInfo entry;
    while (reader.IsOpen() && reader.Next(entry)) {
        if (entry.Kind == TEntryKind::File && IsRecoveryFileName(entry.Name, setName))
            RecoveryFiles.push_back(Dir + entry.Name);
    }
    std::sort(RecoveryFiles.begin(), RecoveryFiles.end());
    std::vector<TPar2Set> sets;
    std::vector<TPar2UncheckedSlice> unchecked;
    std::vector<uint64_t> sizes;
    for (size_t i = 0; i < RecoveryFiles.size(); ++i) {
        std::unique_ptr<TFileStreamLite> file = TFileStreamLite::OpenForReading(RecoveryFiles[i]);
        sizes.push_back(static_cast<uint64_t>(file->GetSize()));
        ReadPar2Packets([&](uint64_t offset, void* into, size_t count) { return ReadAt(*file, offset, into, count); },
                        sizes.back(), static_cast<int>(i), sets, &unchecked);
    }
    CheckRecoveryPackets(unchecked, sizes, sets);
    // The set that describes most of our files; another tool's set over
    // other files beside them is none of ours.
    size_t best = 0;
    for (TPar2Set& set : sets) {
        if (!set.Complete())
            continue;
        size_t ours = 0;
        for (const TPar2Id& file : set.Recoverable)
            ours += IsSetFileName(set.File(file)->Name, stem) ? 1 : 0;
        if (ours > best) {
            best = ours;
            Set = std::move(set);
        }
    }
    if (best == 0)
        return false;
    // A recovery slice of another length than the set's slices is damage
    // that its packet's MD5 could not see (a packet built that way).
    // One of each exponent is enough, the first found. The constants have
    // the order 65535: a larger exponent is a smaller one again.
    std::vector<TPar2RecoverySlice>& found = Set.RecoverySlices;
    std::vector<uint8_t> seen(65535);
    size_t kept = 0;
    for (const TPar2RecoverySlice& slice : found) {
        if (slice.DataLength == Set.SliceSize && slice.Exponent < seen.size() && !seen[slice.Exponent]) {
            seen[slice.Exponent] = 1;
            found[kept++] = slice;
        }
    }
    found.resize(kept);
    uint32_t first = 0;
    for (const TPar2Id& id : Set.Recoverable) {
        TFileState state;
        state.Entry = Set.File(id);
        state.FirstSlice = first;
        state.Ours = IsSetFileName(state.Entry->Name, stem);
        const uint64_t count = Par2SliceCount(state.Entry->Length, Set.SliceSize);
        for (uint64_t j = 0; j < count; ++j)
            Slices.push_back(TSliceRef{Files.size(), j});
        first += static_cast<uint32_t>(count);
        Files.push_back(state);
    }
    IsLoaded = true;
    return true;
}

// The recovery slices' packets are checked on both threads, each with its
// own open files.
void TRecoveryRepair::CheckRecoveryPackets(const std::vector<TPar2UncheckedSlice>& packets,
                                           const std::vector<uint64_t>& sizes, std::vector<TPar2Set>& sets) const {
    std::vector<uint8_t> sound(packets.size());
    using TOpenFiles = std::vector<std::unique_ptr<TFileStreamLite>>;
    const auto reader = [&](TOpenFiles& open) {
        open.resize(RecoveryFiles.size());
        return [this, &open](int file, uint64_t offset, void* into, size_t count) {
            std::unique_ptr<TFileStreamLite>& stream = open[static_cast<size_t>(file)];
            if (!stream)
                stream = TFileStreamLite::OpenForReading(RecoveryFiles[static_cast<size_t>(file)]);
            return ReadAt(*stream, offset, into, count);
        };
    };
    TOpenFiles first, second;
    const size_t middle = packets.size() / 2;
    PrepareForSecondThread();
    TWorkerThread worker;
    RunBoth(
        worker, [&] { CheckPar2Packets(reader(first), packets.data(), middle, sound.data()); },
        [&] {
            CheckPar2Packets(reader(second), packets.data() + middle, packets.size() - middle, sound.data() + middle);
        });
    AddCheckedPar2Slices(reader(first), sizes, packets, sound, sets);
}

std::string TRecoveryRepair::TooFewNote(const std::string& stem) const {
    if (!IsLoaded || SlicesLost() <= SlicesAvailable())
        return std::string();
    return "\r\n" + LangText(msgRecoveryTooFew, {stem + "par2", FormatZeroPadded(0, SlicesAvailable()),
                                                 FormatZeroPadded(0, SlicesLost() - SlicesAvailable())});
}

// Files that are there with their described length go through MD5 up to
// eight at a time side by side (Md5AddSideBySide), files of one length
// together; the others one after another.
void TRecoveryRepair::CheckFiles(TSetFileAccess& files, size_t from, size_t to) {
    std::vector<size_t> whole;
    std::vector<uint64_t> sizes(to - from);
    std::vector<char> buffers((Md5LaneCount + 1) * StepBytes);
    for (size_t f = from; f < to; ++f) {
        TFileState& file = Files[f];
        file.Good.assign(static_cast<size_t>(Par2SliceCount(file.Entry->Length, Set.SliceSize)), 0);
        const bool present = file.Ours && files.Size(file.Entry->Name, sizes[f - from]);
        file.Lost = !present || sizes[f - from] != file.Entry->Length;
        if (present && !file.Lost)
            whole.push_back(f);
        else if (present)
            CheckGroup(files, &f, 1, sizes[f - from], buffers);
    }
    // Equal lengths side by side wherever they stand: a missing file
    // between them does not part them.
    std::vector<uint8_t> taken(whole.size());
    for (size_t first = 0; first < whole.size(); ++first) {
        if (taken[first])
            continue;
        const uint64_t length = Files[whole[first]].Entry->Length;
        size_t group[Md5LaneCount];
        size_t count = 0;
        for (size_t k = first; k < whole.size() && count < Md5LaneCount; ++k) {
            if (!taken[k] && Files[whole[k]].Entry->Length == length) {
                taken[k] = 1;
                group[count++] = whole[k];
            }
        }
        CheckGroup(files, group, count, length, buffers);
    }
}

// A slice is good when the file holds all of its bytes and they match the
// slice's MD5 and CRC-32 (padded with zeros past the file's end). Bytes past
// the described length are no part of any slice: a file that is only too
// long loses none of its slices.
void TRecoveryRepair::CheckGroup(TSetFileAccess& files, const size_t* group, size_t count, uint64_t size,
                                 std::vector<char>& buffers) {
    const uint64_t sliceSize = Set.SliceSize;
    const uint64_t length = Files[group[0]].Entry->Length;
    const uint64_t slices = Par2SliceCount(length, sliceSize);
    // The last step of the buffers stays zeros: the padding.
    const char* zeros = buffers.data() + Md5LaneCount * StepBytes;
    TMd5* contexts[Md5LaneCount];
    const uint8_t* data[Md5LaneCount];
    const uint8_t* padding[Md5LaneCount];
    for (size_t k = 0; k < count; ++k) {
        data[k] = reinterpret_cast<const uint8_t*>(buffers.data() + k * StepBytes);
        padding[k] = reinterpret_cast<const uint8_t*>(zeros);
    }
    // The whole file's CRC-32 on the way, for the sfv's check afterwards.
    TCrc32 whole[Md5LaneCount];
    bool readWhole = true;
    for (uint64_t j = 0; j < slices; ++j) {
        const uint64_t held = std::min(sliceSize, length - j * sliceSize);
        if (j * sliceSize + held > size) {
            readWhole = false;
            continue;
        }
        TMd5 md5[Md5LaneCount];
        TCrc32 crc[Md5LaneCount];
        for (size_t k = 0; k < count; ++k)
            contexts[k] = &md5[k];
        bool complete = true;
        for (uint64_t done = 0; done < held && complete; done += StepBytes) {
            const size_t n = static_cast<size_t>(std::min<uint64_t>(StepBytes, held - done));
            for (size_t k = 0; k < count; ++k) {
                char* into = buffers.data() + k * StepBytes;
                complete = complete && files.Read(Files[group[k]].Entry->Name, j * sliceSize + done, into, n) == n;
                crc[k].Add(into, n);
                whole[k].Add(into, n);
            }
            Md5AddSideBySide(contexts, data, count, n);
        }
        // A file that came up short meanwhile loses this slice.
        if (!complete) {
            readWhole = false;
            continue;
        }
        for (uint64_t done = held; done < sliceSize; done += StepBytes) {
            const size_t n = static_cast<size_t>(std::min<uint64_t>(StepBytes, sliceSize - done));
            for (size_t k = 0; k < count; ++k)
                crc[k].Add(zeros, n);
            Md5AddSideBySide(contexts, padding, count, n);
        }
        for (size_t k = 0; k < count; ++k) {
            const TPar2SliceCheck& check = Files[group[k]].Entry->Slices[static_cast<size_t>(j)];
            Files[group[k]].Good[static_cast<size_t>(j)] = md5[k].Finish() == check.Md5 && crc[k].Value == check.Crc;
        }
    }
    for (size_t k = 0; k < count && readWhole && size == length; ++k) {
        Files[group[k]].Crc = whole[k].Value;
        Files[group[k]].CrcKnown = true;
    }
}

bool TRecoveryRepair::FileCrc(const std::string& name, uint32_t& crc) const {
    for (const TFileState& file : Files) {
        if (file.Ours && !file.Lost && file.CrcKnown && file.Entry->Name == name) {
            crc = file.Crc;
            return true;
        }
    }
    return false;
}

void TRecoveryRepair::Check(TSetFileAccess& files) {
    LostFiles.clear();
    LostSlices.clear();
    // MD5 goes one byte after the other: the files are shared out between
    // two threads, by their bytes.
    uint64_t total = 0;
    for (const TFileState& file : Files)
        total += file.Entry->Length;
    size_t middle = 0;
    for (uint64_t before = 0; middle < Files.size() && 2 * before < total; ++middle)
        before += Files[middle].Entry->Length;
    PrepareForSecondThread();
    TWorkerThread worker;
    RunBoth(
        worker, [&] { CheckFiles(files, 0, middle); }, [&] { CheckFiles(files, middle, Files.size()); });
    for (TFileState& file : Files) {
        for (size_t j = 0; j < file.Good.size(); ++j) {
            if (!file.Good[j]) {
                LostSlices.push_back(file.FirstSlice + static_cast<uint32_t>(j));
                file.Lost = true;
            }
        }
        if (file.Lost && file.Ours)
            LostFiles.push_back(file.Entry->Name);
    }
}

bool TRecoveryRepair::Rebuild(TSetFileAccess& files) {
    const size_t d = LostSlices.size();
    if (LostFiles.empty() || d > Set.RecoverySlices.size())
        return false;
    // The first d recovery slices, or, where their matrix is singular, the
    // next run of d, and so on: positions in RecoverySlices.
    const size_t available = Set.RecoverySlices.size();
    std::vector<uint16_t> inverse;
    std::vector<size_t> chosen;
    for (int attempt = 0; d > 0 && attempt < ChoicesTried && chosen.size() < d; ++attempt) {
        const size_t start = static_cast<size_t>(attempt) % (available - d + 1);
        if (attempt > 0 && start == 0)
            break;
        inverse.assign(d * d, 0);
        for (size_t r = 0; r < d; ++r) {
            for (size_t c = 0; c < d; ++c)
                inverse[r * d + c] =
                    Gf16Power(Par2InputConstant(LostSlices[c]), Set.RecoverySlices[start + r].Exponent);
        }
        if (Gf16Invert(inverse, d)) {
            for (size_t r = 0; r < d; ++r)
                chosen.push_back(start + r);
        }
    }
    if (chosen.size() < d)
        return false;

    const uint64_t sliceSize = Set.SliceSize;
    const uint64_t window = RecoveryWindow(sliceSize, static_cast<uint32_t>(std::max<size_t>(2 * d, 1)));
    std::vector<char> sums(static_cast<size_t>(window * d));
    std::vector<char> rebuilt(static_cast<size_t>(window * d));
    std::vector<char> step(StepBytes + 2);
    std::vector<void*> targets(d);
    std::vector<uint16_t> factors(d);

    std::vector<bool> outputs(Files.size());
    for (size_t f = 0; f < Files.size(); ++f) {
        outputs[f] = Files[f].Lost && Files[f].Ours;
        if (outputs[f])
            files.Create(Files[f].Entry->Name, Files[f].Entry->Length);
    }
    std::vector<std::unique_ptr<TFileStreamLite>> recovery(RecoveryFiles.size());
    for (uint64_t start = 0; start < sliceSize; start += window) {
        const uint64_t width = std::min(window, sliceSize - start);
        for (size_t r = 0; r < d; ++r) {
            const int index = Set.RecoverySlices[chosen[r]].File;
            if (!recovery[static_cast<size_t>(index)])
                recovery[static_cast<size_t>(index)] = TFileStreamLite::OpenForReading(RecoveryFiles[static_cast<size_t>(index)]);
            const uint64_t offset = Set.RecoverySlices[chosen[r]].DataOffset + start;
            if (ReadAt(*recovery[static_cast<size_t>(index)], offset, sums.data() + r * window, width) != width)
                throw EExceptionLite(LangText(msgFileShrank, {RecoveryFiles[static_cast<size_t>(index)]}));
        }
        // Each good slice's share taken out of the recovery slices leaves
        // the lost slices' share, and a good slice of a lost file is copied.
        for (size_t f = 0; f < Files.size(); ++f) {
            const TFileState& file = Files[f];
            if (!file.Ours)
                continue;
            for (size_t j = 0; j < file.Good.size(); ++j) {
                const uint64_t at = j * sliceSize + start;
                if (!file.Good[j] || at >= file.Entry->Length)
                    continue;
                const uint16_t constant = Par2InputConstant(file.FirstSlice + static_cast<uint32_t>(j));
                for (size_t r = 0; r < d; ++r)
                    factors[r] = Gf16Power(constant, Set.RecoverySlices[chosen[r]].Exponent);
                const uint64_t bytes = std::min(width, file.Entry->Length - at);
                for (uint64_t done = 0; done < bytes; done += StepBytes) {
                    const size_t n = static_cast<size_t>(std::min<uint64_t>(StepBytes, bytes - done));
                    if (files.Read(file.Entry->Name, at + done, step.data(), n) != n)
                        throw EExceptionLite(LangText(msgFileShrank, {file.Entry->Name}));
                    step[n] = 0;
                    for (size_t r = 0; r < d; ++r)
                        targets[r] = sums.data() + r * window + done;
                    if (d > 0)
                        Gf16MultiplyAddInto(step.data(), factors.data(), targets.data(), d, (n + 1) / 2 * 2);
                    if (outputs[f])
                        files.Write(file.Entry->Name, at + done, step.data(), n);
                }
            }
        }
        std::fill(rebuilt.begin(), rebuilt.end(), 0);
        for (size_t c = 0; c < d; ++c)
            targets[c] = rebuilt.data() + c * window;
        for (size_t r = 0; r < d; ++r) {
            for (size_t c = 0; c < d; ++c)
                factors[c] = inverse[c * d + r];
            Gf16MultiplyAddInto(sums.data() + r * window, factors.data(), targets.data(), d,
                                static_cast<size_t>(width));
        }
        for (size_t c = 0; c < d; ++c) {
            const TSliceRef ref = Slices[LostSlices[c]];
            const uint64_t at = ref.Slice * sliceSize + start;
            const uint64_t length = Files[ref.File].Entry->Length;
            if (outputs[ref.File] && at < length)
                files.Write(Files[ref.File].Entry->Name, at, rebuilt.data() + c * window,
                            static_cast<size_t>(std::min(width, length - at)));
        }
    }
    files.Finish();
    return true;
}
