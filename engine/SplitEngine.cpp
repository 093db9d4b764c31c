// The split job: the source's files, read in list order as one stream of
// bytes, cut into data parts of the part size, then the header text spread
// over header files behind the last data part.
#include "UnitFendrix.h"

#include "foundation/CommandLine.h"
#include "foundation/PartLimit.h"
#include "foundation/UnitFileStream.h"
#include "foundation/UnitImport.h"
#include "foundation/UnitLanguage.h"
#include "foundation/platform/FileSystem.h"
#include "foundation/platform/Prompts.h"
#include "foundation/checksum/Crc32.h"
#include "foundation/checksum/XorBlock.h"
#include "index/ParityText.h"
#include "index/PartNames.h"
#include "index/SfvText.h"

#include <cstring>
#include <vector>

namespace {

// When the output directory lies in the source tree, a part, header, batch
// or program-copy name may be one of the listed source files; writing it
// would destroy data that the same split still has to read. Returns the
// first such file, or empty.
std::string SourceInTheWay(const TFendrix& job, int64_t headerSize) {
    const TFendrixStartParams& params = *job.Params;
    const TFileInfos& list = *job.FileList;
    const TPathStyle style = NativePathStyle;
    const std::string outputDir = UpperText(UniformSeparators(params.OutputDir, style));
    const std::string firstName = list.GetItem(0)->Name;
    const std::string stem = firstName + ".";
    const std::string batchName = UpperText(
        FileNamePart(RemoveExtension(AddTrailingBackslash(params.OutputDir, style) + firstName, style) + ".bat", style));
    const int64_t lastPart = job.PartCount(list.TotalSize()) + 1;
    const int64_t lastHeader = job.PartCount(headerSize) + 1;
    const std::string sfvName = UpperText(SfvFileName(firstName));
    const std::string parName = UpperText(ParityFileName(firstName));
    const std::string baseDir = AddTrailingBackslash(list.BaseDir, style);
    for (int32_t i = 0; i < list.Count(); ++i) {
        const TFileInfo* entry = list.GetItem(i);
        if (entry->Kind != fkFile)
            continue;
        const std::string full = baseDir + entry->Name;
        if (UpperText(UniformSeparators(ParentPath(full, style), style)) != outputDir)
            continue;
        const std::string name = FileNamePart(full, style);
        bool header = false;
        const int32_t number = PartNumberOf(name, stem, header);
        if (number > 0 && number <= (header ? lastHeader : lastPart))
            return full;
        if (params.Batch && UpperText(name) == batchName)
            return full;
        if (UpperText(name) == sfvName || (params.Parity && UpperText(name) == parName))
            return full;
        // The program copy is no victim: it never replaces a file.
    }
    return std::string();
}

// One run of SplitCore: the open files, the room left in the open part and
// the one transfer buffer.
class TSplitRun {
public:
    explicit TSplitRun(TFendrix& job)
        : Job(job), Params(*job.Params), FileList(*job.FileList), Buffer(CopyBufferSize),
          OutputPrefix(AddTrailingBackslash(Params.OutputDir, NativePathStyle) + FileList.GetItem(0)->Name) {}

    uint8_t Run();
    int32_t HeaderFilesWritten = 0;

private:
    int32_t OpenNextSource(int32_t start);
    int32_t CreatePartFile(bool header, int32_t number);
    void WriteBatchLine(int32_t number);
    // Writes to the open part and keeps its checksum.
    void WritePart(const void* data, uint32_t count, uint32_t& written, int64_t volumeOffset);
    void WriteStaged();
    void KeepStaged();
    void ClosePart();
    int64_t CopyIntoPart(int64_t most);
    // A new volume begins with the whole part size as room.
    void StartVolume();
    void EndFirstVolume();
    void DataPhase();
    void HeaderPhase();
    void WriteParity();
    void WriteChecksums();

    TFendrix& Job;
    TFendrixStartParams& Params;
    TFileInfos& FileList;

    uint8_t Result = rcOk;
    std::unique_ptr<TFileStreamLite> SourceFile;
    int32_t SourceIndex = -1;
    int64_t SourceBytesRead = 0;
    // Cleared for the open source once the system declines to copy from it.
    bool SystemCopy = true;
    // Bytes read into Buffer and not yet written to the part.
    uint32_t Staged = 0;
    std::unique_ptr<TFileStreamLite> PartFile;
    std::string PartName;
    TCrc32 PartCrc;
    int64_t PartBytes = 0;
    std::vector<TSfvLine> Checksums;
    // With a parity file: the XOR of every volume so far (ParitySize bytes),
    // and what each volume holds. None without one.
    std::unique_ptr<char[]> ParityBlock;
    size_t ParitySize = 0;
    TParityLayout Layout;
    int32_t PartNumber = 0;
    std::unique_ptr<TFileStreamLite> BatchFile;
    bool OverwriteAll = false;
    int64_t Remaining = 0;
    int64_t Written = 0;
    TPageBuffer Buffer;
    // Output directory and the name of the first entry: every part, header
    // and batch file name starts with it.
    const std::string OutputPrefix;
};

uint8_t TSplitRun::Run() {
    try {
        if (Params.Parity) {
            // Left unset: the first volume is copied in, not XORed into
            // zeros, which spares a pass over a block of up to 1 GiB.
            ParitySize = static_cast<size_t>(Params.Size);
            ParityBlock.reset(new char[ParitySize]);
        }
        SourceIndex = OpenNextSource(0);
        PartNumber = CreatePartFile(false, 1);
        WriteBatchLine(PartNumber);
        StartVolume();
        DataPhase();
        if (Result == rcOk)
            HeaderPhase();
        if (Result == rcOk && Params.Parity)
            WriteParity();
        if (Result == rcOk)
            WriteChecksums();
    } catch (const EExceptionLite& e) {
        KeepStaged();
        Result = Job.ReportFileError(e.MessageText);
    }
    KeepStaged();
    FreeAndClear(SourceFile);
    FreeAndClear(PartFile);
    FreeAndClear(BatchFile);
    return Result;
}

void TSplitRun::DataPhase() {
    while (Result == rcOk && SourceFile && PartFile) {
        // A file is read only up to the size that the scan found: one that
        // grows meanwhile (a log, a link to an endless device) cannot carry
        // the set past what the header and the part limit were sized for.
        const int64_t sourceLeft = FileList.GetItem(SourceIndex)->Size - SourceBytesRead;
        const int64_t n = CopyIntoPart(Min64(Remaining, sourceLeft));
        if (n > 0) {
            Remaining -= n;
            Written += n;
            SourceBytesRead += n;
        } else {
            SourceIndex = OpenNextSource(SourceIndex + 1);
        }
        // A full part is followed at once by the next one while a source is
        // open, even if that source has no bytes left: the last data part
        // then never leaves zero room for the first header file.
        if (Remaining == 0 && SourceFile) {
            PartNumber = CreatePartFile(false, PartNumber + 1);
            WriteBatchLine(PartNumber);
            StartVolume();
        }
        Job.SetProgressPosition(Written);
        if (Job.CheckCancel(Job.Caption))
            Result = rcCancelled;
    }
}

void TSplitRun::HeaderPhase() {
    const std::string headerText = FileList.BuildHeader();
    size_t offset = 0;
    int32_t headerNumber = 0;
    while (offset < headerText.size()) {
        ++headerNumber;
        CreatePartFile(true, headerNumber);
        if (!PartFile)
            return;
        // The first header file shares the last data part's volume in the
        // room that part left; every further one is a volume of its own.
        if (Remaining == 0)
            StartVolume();
        const int64_t chunk = Min64(Min64(static_cast<int64_t>(headerText.size() - offset), Remaining), 1 << 30);
        uint32_t k = 0;
        WritePart(headerText.data() + offset, static_cast<uint32_t>(chunk), k, Params.Size - Remaining);
        // A short write moves the rest into the next header file; a write
        // that takes nothing would only create empty header files forever.
        if (k == 0)
            throw EExceptionLite(WriteErrorText);
        ++HeaderFilesWritten;
        offset += k;
        Remaining -= k;
        Written += k;
        Job.SetProgressPosition(Written);
    }
}

int32_t TSplitRun::OpenNextSource(int32_t start) {
    const int32_t i = FileList.NextFileIndex(start);
    // The header records what was stored, which is what was read: a file
    // that shrank after it was opened must not leave a gap in the set.
    if (SourceFile) {
        if (TFileInfo* done = FileList.GetItem(SourceIndex))
            done->Size = SourceBytesRead;
    }
    FreeAndClear(SourceFile);
    SourceBytesRead = 0;
    SystemCopy = true;
    if (i >= 0) {
        TFileInfo* entry = FileList.GetItem(i);
        SourceFile =
            TFileStreamLite::OpenForReading(AddTrailingBackslash(FileList.BaseDir, NativePathStyle) + entry->Name);
    }
    return i;
}

// Moves up to most bytes of the open source into the part; 0 where the
// source has none left. Where the system shares blocks it clones them, and
// the CRC reads them once; otherwise they pass through Buffer, where the
// bytes of small files gather into one write. The parity block needs the
// bytes in the program's hands.
int64_t TSplitRun::CopyIntoPart(int64_t most) {
    if (most <= 0)
        return 0;
    if (SystemCopy && !ParityBlock && most >= SystemCopyLeast) {
        WriteStaged();
        uint64_t done = 0;
        const auto see = [this](const char* data, uint32_t count) { PartCrc.Add(data, count); };
        if (SourceFile->CopyInSystem(*PartFile, static_cast<uint64_t>(Min64(most, SystemCopyMost)), Buffer.data(),
                                     CopyBufferSize, see, done)) {
            PartBytes += static_cast<int64_t>(done);
            return static_cast<int64_t>(done);
        }
        SystemCopy = false;
    }
    const uint32_t room = CopyBufferSize - Staged;
    const uint32_t n = SourceFile->Read(Buffer.data() + Staged, static_cast<uint32_t>(Min64(room, most)));
    Staged += n;
    if (Staged == CopyBufferSize)
        WriteStaged();
    return n;
}

// The staged bytes are the last ones counted off Remaining: they begin
// Staged bytes before the volume's current end.
void TSplitRun::WriteStaged() {
    const uint32_t count = Staged;
    if (count == 0)
        return;
    // Cleared first: bytes that a failed write may have half taken are not
    // offered again.
    Staged = 0;
    uint32_t w = 0;
    WritePart(Buffer.data(), count, w, Params.Size - Remaining - count);
    if (w != count)
        throw EExceptionLite(WriteErrorText);
}

// A split that stops (a source it cannot open or read, a cancel) keeps in
// its parts every byte it read, as it did when each read was written at
// once; a write that fails now has nothing more to report.
void TSplitRun::KeepStaged() {
    if (!PartFile)
        return;
    try {
        WriteStaged();
    } catch (const EExceptionLite&) {
    }
}

// Every write lands at volumeOffset in its volume: the bytes are folded into
// the parity block there while they are still in the buffer.
void TSplitRun::WritePart(const void* data, uint32_t count, uint32_t& written, int64_t volumeOffset) {
    written = PartFile->Write(data, count);
    // What the checksum covers is what the file holds: the bytes written.
    PartCrc.Add(data, written);
    PartBytes += written;
    if (!ParityBlock)
        return;
    char* at = ParityBlock.get() + volumeOffset;
    if (Layout.Volumes.size() == 1)
        std::memcpy(at, data, written);
    else
        XorInto(at, data, written);
}

void TSplitRun::ClosePart() {
    if (PartFile) {
        WriteStaged();
        const std::string name = FileNamePart(PartName, NativePathStyle);
        Checksums.push_back(TSfvLine{name, PartCrc.Value});
        if (!Layout.Volumes.empty())
            Layout.Volumes.back().Files.push_back(TParityFile{name, PartBytes});
    }
    FreeAndClear(PartFile);
    PartCrc = TCrc32();
    PartBytes = 0;
}

void TSplitRun::StartVolume() {
    if (Params.Parity && Layout.Volumes.size() == 1)
        EndFirstVolume();
    Remaining = Params.Size;
    if (Params.Parity)
        Layout.Volumes.emplace_back();
}

// The first volume was copied into the block: the room it leaves is its
// padding of zeros.
void TSplitRun::EndFirstVolume() {
    std::memset(ParityBlock.get() + (Params.Size - Remaining), 0, static_cast<size_t>(Remaining));
}

// Written once the last header file is closed, before the sfv file, which
// lists it too.
void TSplitRun::WriteParity() {
    ClosePart();
    if (Layout.Volumes.size() == 1)
        EndFirstVolume();
    Layout.PartSize = Params.Size;
    const std::string head = BuildParityHead(Layout, ParityBlock.get());
    std::unique_ptr<TFileStreamLite> file =
        Job.CreateAskingToOverwrite(ParityFileName(OutputPrefix), OverwriteAll);
    if (!file) {
        Result = rcCancelled;
        return;
    }
    TCrc32 crc;
    auto write = [&](const char* data, size_t size) {
        // Within the 32-bit counts of a write, a slice at a time.
        while (size > 0) {
            const uint32_t chunk = static_cast<uint32_t>(Min64(static_cast<int64_t>(size), 1 << 30));
            if (file->Write(data, chunk) != chunk)
                throw EExceptionLite(WriteErrorText);
            crc.Add(data, chunk);
            data += chunk;
            size -= chunk;
        }
    };
    write(head.data(), head.size());
    write(ParityBlock.get(), ParitySize);
    Checksums.push_back(TSfvLine{FileNamePart(ParityFileName(OutputPrefix), NativePathStyle), crc.Value});
}

int32_t TSplitRun::CreatePartFile(bool header, int32_t number) {
    ClosePart();
    PartName = PartFileName(OutputPrefix + ".", header, number);
    PartFile = Job.CreateAskingToOverwrite(PartName, OverwriteAll);
    if (!PartFile)
        Result = rcCancelled;
    return number;
}

// Written last: every part's checksum is known only once it is closed.
void TSplitRun::WriteChecksums() {
    ClosePart();
    const std::string text = BuildSfv(Checksums);
    std::unique_ptr<TFileStreamLite> file = Job.CreateAskingToOverwrite(SfvFileName(OutputPrefix), OverwriteAll);
    if (!file) {
        Result = rcCancelled;
        return;
    }
    if (file->Write(text.data(), static_cast<uint32_t>(text.size())) != text.size())
        throw EExceptionLite(WriteErrorText);
}

void TSplitRun::WriteBatchLine(int32_t number) {
    if (!Params.Batch)
        return;
    const std::string full = OutputPrefix;
    const std::string extension = "." + FormatZeroPadded(3, number);
    // The command interpreter expands %...% even inside quotes: a name's own
    // percent signs are doubled so that they stay themselves.
    std::string name;
    for (char c : FileNamePart(full, NativePathStyle))
        name += c == '%' ? std::string("%%") : std::string(1, c);
    std::string line;
    if (!BatchFile) {
        BatchFile = TFileStreamLite::CreateForWriting(RemoveExtension(full, NativePathStyle) + ".bat");
        line = "copy /b \"" + name + extension + "\" \"" + name + "\"\r\n";
    } else {
        line = "copy /b \"" + name + "\" + \"" + name + extension + "\"\r\n";
    }
    line = OsTextToOemCodePage(line);
    // A batch file that lacks a line would rebuild a shorter file without a
    // word: a short write is a write error like any other.
    if (BatchFile->Write(line.data(), static_cast<uint32_t>(line.size())) != line.size())
        throw EExceptionLite(WriteErrorText);
}

}  // namespace

// The program beside the parts, so that the receiving machine needs nothing
// else; an existing copy is never replaced. The set is good without it, so a
// failed copy ends nothing: the window says why it is missing.
void TFendrix::CopyProgram() {
    TOsError error;
    const std::string target = AddTrailingBackslash(Params->OutputDir, NativePathStyle) + "Fendrix.exe";
    const std::string program = Params->ProgramToCopy.empty() ? ArgumentText(0) : Params->ProgramToCopy;
    if (!OsCopyFileNoReplace(program, target, error) && error.Kind != TOsErrorKind::Exists &&
        !Params->Silent)
        MessageBox(error.Text, mbIconError | mbOk);
}

int64_t TFendrix::PartCount(int64_t byteCount) const {
    const int64_t q = byteCount / Params->Size;
    return q * Params->Size < byteCount ? q + 1 : q;
}

uint8_t TFendrix::SplitCore() {
    TSplitRun run(*this);
    const uint8_t result = run.Run();
    HeaderFilesWritten = run.HeaderFilesWritten;
    return result;
}

uint8_t TFendrix::SplitSteps(uint8_t r) {
    try {
        FileList->Policy = ScanPolicy;
        if (r == rcOk && FileList->ScanPath(Params->SourcePath, SaturatedPartLimit(Params->Size)))
            r = rcTooManyParts;
    } catch (const EExceptionLite& e) {
        r = ReportFileError(e.MessageText);
    }
    // A drive root without entries leaves nothing to split and nothing to
    // name the parts after.
    if (r == rcOk && FileList->Count() == 0)
        r = rcSourceNotFound;
    // The header text as the scan sees it; built once for the guard and
    // the progress total (the one written is built after the data).
    const int64_t headerSize = r == rcOk ? FileList->HeaderSize() : 0;
    // The parity block is held in memory for the whole split.
    if (r == rcOk && Params->Parity && Params->Size > ParityLargestPart)
        r = rcInvalidSize;
    if (r == rcOk) {
        const std::string victim = SourceInTheWay(*this, headerSize);
        if (!victim.empty())
            r = ReportFileError(LangText(msgSourceInTheWay, {victim}));
    }
    if (r == rcOk && !Params->Silent) {
        const std::string question =
            LangText(10, {FormatZeroPadded(0, PartCount(FileList->TotalSize())), LangText(22)});
        if (MessageBox(question, mbYesNo | mbIconInformation) == idNo)
            r = rcCancelled;
    }
    if (r == rcOk) {
        if (Params->Copy)
            CopyProgram();
        SetProgressTotal(FileList->TotalSize() + headerSize);
        r = SplitCore();
    }
    if (r == rcOk && !Params->Silent) {
        std::string report = LangText(11, {FormatZeroPadded(0, PartCount(FileList->TotalSize())),
                                           FormatZeroPadded(0, HeaderFilesWritten)});
        if (Params->Size == DefaultPartSize)
            report += "\r\n" + LangText(15);
        if (Params->Parity)
            report += "\r\n" + LangText(msgSetSurvivesLoss, {ParityFileName(FileList->GetItem(0)->Name)});
        MessageBox(report, mbIconInformation | mbOk);
    }
    return r;
}
