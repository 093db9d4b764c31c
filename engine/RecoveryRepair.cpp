#include "RecoveryRepair.h"

#include "RecoveryFiles.h"
#include "UnitFendrix.h"

#include "foundation/UnitFileStream.h"
#include "foundation/UnitImport.h"
#include "foundation/UnitLanguage.h"
#include "foundation/checksum/Crc32.h"
#include "foundation/checksum/Gf16.h"
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
    size_t done = 0;
    while (done < count) {
        const uint32_t want = static_cast<uint32_t>(std::min<size_t>(count - done, 1u << 30));
        const uint32_t got = file.Read(static_cast<char*>(into) + done, want);
        if (got == 0)
            break;
        done += got;
    }
    return done;
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

void WriteAt(TFileStreamLite& file, uint64_t offset, const char* data, size_t count) {
    file.Seek(static_cast<int64_t>(offset), static_cast<uint8_t>(TSeekOrigin::Begin));
    file.WriteAll(data, count, WriteErrorText);
}

}  // namespace

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
    std::map<TPar2Id, TPar2Set> sets;
    for (size_t i = 0; i < RecoveryFiles.size(); ++i) {
        std::unique_ptr<TFileStreamLite> file = TFileStreamLite::OpenForReading(RecoveryFiles[i]);
        const uint64_t size = static_cast<uint64_t>(file->GetSize());
        ReadPar2Packets([&](uint64_t offset, void* into, size_t count) { return ReadAt(*file, offset, into, count); },
                        size, static_cast<int>(i), sets);
    }
    // The set that describes most of our files; another tool's set over
    // other files beside them is none of ours.
    size_t best = 0;
    for (auto& [id, set] : sets) {
        if (!set.Complete())
            continue;
        size_t ours = 0;
        for (const TPar2Id& file : set.Recoverable)
            ours += IsSetFileName(set.Files[file].Name, stem) ? 1 : 0;
        if (ours > best) {
            best = ours;
            Set = set;
        }
    }
    if (best == 0)
        return false;
    // A recovery slice of another length than the set's slices is damage
    // that its packet's MD5 could not see (a packet built that way).
    for (auto it = Set.RecoverySlices.begin(); it != Set.RecoverySlices.end();)
        it = it->second.DataLength == Set.SliceSize ? std::next(it) : Set.RecoverySlices.erase(it);
    uint32_t first = 0;
    for (const TPar2Id& id : Set.Recoverable) {
        TFileState state;
        state.Entry = &Set.Files[id];
        state.FirstSlice = first;
        if (IsSetFileName(state.Entry->Name, stem))
            state.Path = Dir + state.Entry->Name;
        const uint64_t count = Par2SliceCount(state.Entry->Length, Set.SliceSize);
        for (uint64_t j = 0; j < count; ++j)
            Slices.push_back(TSliceRef{Files.size(), j});
        first += static_cast<uint32_t>(count);
        Files.push_back(state);
    }
    IsLoaded = true;
    return true;
}

void TRecoveryRepair::CheckFile(TFileState& file) {
    const uint64_t sliceSize = Set.SliceSize;
    const uint64_t length = file.Entry->Length;
    const uint64_t count = Par2SliceCount(length, sliceSize);
    std::vector<char> buffer(StepBytes);
    std::vector<char> zeros(StepBytes);
    file.Good.assign(static_cast<size_t>(count), false);
    TEntryInfo info;
    const bool present = !file.Path.empty() && OsQueryPath(file.Path, info) && info.Kind == TEntryKind::File;
    file.Lost = !present || static_cast<uint64_t>(info.Size) != length;
    if (!present)
        return;
    std::unique_ptr<TFileStreamLite> stream = TFileStreamLite::OpenForReading(file.Path);
    for (uint64_t j = 0; j < count; ++j) {
        TMd5 md5;
        TCrc32 crc;
        uint64_t done = 0;
        // Bytes past the described length are no part of any slice: a file
        // that is only too long loses none of its slices.
        const uint64_t held = std::min(sliceSize, length - j * sliceSize);
        while (done < sliceSize) {
            const size_t want = static_cast<size_t>(std::min<uint64_t>(StepBytes, sliceSize - done));
            size_t got =
                done < held ? stream->Read(buffer.data(), static_cast<uint32_t>(std::min<uint64_t>(want, held - done)))
                            : 0;
            // What the file lacks of its last slice counts as the zeros
            // that the slice is padded with.
            if (got == 0) {
                md5.Add(zeros.data(), want);
                crc.Add(zeros.data(), want);
                got = want;
            } else {
                md5.Add(buffer.data(), got);
                crc.Add(buffer.data(), got);
            }
            done += got;
        }
        const TPar2SliceCheck& check = file.Entry->Slices[static_cast<size_t>(j)];
        file.Good[static_cast<size_t>(j)] = md5.Finish() == check.Md5 && crc.Value == check.Crc &&
                                            j * sliceSize + held <= static_cast<uint64_t>(info.Size);
    }
}

void TRecoveryRepair::Check() {
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
    TWorkerThread worker;
    RunBoth(
        worker, [&] { for (size_t f = 0; f < middle; ++f) CheckFile(Files[f]); },
        [&] { for (size_t f = middle; f < Files.size(); ++f) CheckFile(Files[f]); });
    for (TFileState& file : Files) {
        for (size_t j = 0; j < file.Good.size(); ++j) {
            if (!file.Good[j]) {
                LostSlices.push_back(file.FirstSlice + static_cast<uint32_t>(j));
                file.Lost = true;
            }
        }
        if (file.Lost && !file.Path.empty())
            LostFiles.push_back(file.Entry->Name);
    }
}

void TRecoveryRepair::ReadLostFileFrom(const std::string& name, const std::string& path) {
    for (TFileState& file : Files) {
        if (file.Entry->Name == name && !file.Path.empty())
            file.Path = path;
    }
}

bool TRecoveryRepair::Rebuild(const std::function<std::string(const std::string& name)>& target) {
    const size_t d = LostSlices.size();
    if (LostFiles.empty() || d > Set.RecoverySlices.size())
        return false;
    std::vector<uint32_t> exponents;
    for (const auto& [exponent, slice] : Set.RecoverySlices)
        exponents.push_back(exponent);
    // The first d recovery slices, or, where their matrix is singular, the
    // next run of d, and so on.
    std::vector<uint16_t> inverse;
    std::vector<uint32_t> chosen;
    for (int attempt = 0; d > 0 && attempt < ChoicesTried && chosen.size() < d; ++attempt) {
        const size_t start = static_cast<size_t>(attempt) % (exponents.size() - d + 1);
        std::vector<uint32_t> trial(exponents.begin() + static_cast<std::ptrdiff_t>(start),
                                    exponents.begin() + static_cast<std::ptrdiff_t>(start + d));
        if (attempt > 0 && start == 0)
            break;
        inverse.assign(d * d, 0);
        for (size_t r = 0; r < d; ++r) {
            for (size_t c = 0; c < d; ++c)
                inverse[r * d + c] = Gf16Power(Par2InputConstant(LostSlices[c]), trial[r]);
        }
        if (Gf16Invert(inverse, d))
            chosen = trial;
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

    std::vector<std::unique_ptr<TFileStreamLite>> outputs(Files.size());
    for (size_t f = 0; f < Files.size(); ++f) {
        if (Files[f].Lost && !Files[f].Path.empty())
            outputs[f] = TFileStreamLite::CreateForWriting(target(Files[f].Entry->Name));
    }
    std::vector<std::unique_ptr<TFileStreamLite>> recovery(RecoveryFiles.size());
    for (uint64_t start = 0; start < sliceSize; start += window) {
        const uint64_t width = std::min(window, sliceSize - start);
        for (size_t r = 0; r < d; ++r) {
            const int index = Set.RecoverySliceFile[chosen[r]];
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
            if (file.Path.empty())
                continue;
            std::unique_ptr<TFileStreamLite> source;
            for (size_t j = 0; j < file.Good.size(); ++j) {
                const uint64_t at = j * sliceSize + start;
                if (!file.Good[j] || at >= file.Entry->Length)
                    continue;
                if (!source)
                    source = TFileStreamLite::OpenForReading(file.Path);
                const uint16_t constant = Par2InputConstant(file.FirstSlice + static_cast<uint32_t>(j));
                for (size_t r = 0; r < d; ++r)
                    factors[r] = Gf16Power(constant, chosen[r]);
                const uint64_t bytes = std::min(width, file.Entry->Length - at);
                for (uint64_t done = 0; done < bytes; done += StepBytes) {
                    const size_t n = static_cast<size_t>(std::min<uint64_t>(StepBytes, bytes - done));
                    if (ReadAt(*source, at + done, step.data(), n) != n)
                        throw EExceptionLite(LangText(msgFileShrank, {file.Path}));
                    step[n] = 0;
                    for (size_t r = 0; r < d; ++r)
                        targets[r] = sums.data() + r * window + done;
                    if (d > 0)
                        Gf16MultiplyAddInto(step.data(), factors.data(), targets.data(), d, (n + 1) / 2 * 2);
                    if (outputs[f])
                        WriteAt(*outputs[f], at + done, step.data(), n);
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
                WriteAt(*outputs[ref.File], at, rebuilt.data() + c * window,
                        static_cast<size_t>(std::min(width, length - at)));
        }
    }
    for (std::unique_ptr<TFileStreamLite>& output : outputs) {
        if (output)
            output->Close();
    }
    return true;
}
