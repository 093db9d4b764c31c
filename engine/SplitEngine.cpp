// The split job: the source's files, read in list order as one stream of
// bytes, cut into data parts of the part size, then the header text spread
// over header files behind the last data part.
#include "JobDialogue.h"
#include "PartSize.h"
#include "RecoveryFiles.h"
#include "SetLayout.h"
#include "UnitFendrix.h"
#include "VolumeWriter.h"

#include "foundation/CommandLine.h"
#include "foundation/PartLimit.h"
#include "foundation/UnitFileStream.h"
#include "foundation/UnitImport.h"
#include "foundation/UnitLanguage.h"
#include "foundation/platform/FileSystem.h"
#include "foundation/checksum/Crc32.h"
#include "index/ParityText.h"
#include "index/PartNames.h"
#include "index/SfvText.h"

#include <algorithm>
#include <limits>
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
        if (params.Recovery > 0 && IsRecoveryFileName(name, firstName))
            return full;
        // The program copy is no victim: it never replaces a file.
    }
    return std::string();
}

// One run of SplitCore: the open source, the batch file, and the writer
// that owns the open part, its volume and the parity block.
class TSplitRun {
public:
    explicit TSplitRun(TFendrix& job)
        : Job(job), Params(*job.Params), FileList(*job.FileList),
          Out(true, Params.Parity ? Params.Size : 0),
          OutputPrefix(AddTrailingBackslash(Params.OutputDir, NativePathStyle) + FileList.GetItem(0)->Name) {}

    uint8_t Run();
    int32_t HeaderFilesWritten = 0;

private:
    int32_t OpenNextSource(int32_t start);
    // Closes the open part and creates the next; a data part, or a header
    // file that finds its volume full, begins a new volume.
    int32_t CreatePartFile(bool header, int32_t number);
    void WriteBatchLine(int32_t number);
    void DataPhase();
    bool StreamOverflows();
    void HeaderPhase();
    void WriteParity();
    void WriteRecovery();
    void WriteChecksums();

    TFendrix& Job;
    TFendrixStartParams& Params;
    TFileInfos& FileList;

    uint8_t Result = rcOk;
    std::unique_ptr<TFileStreamLite> SourceFile;
    int32_t SourceIndex = -1;
    int64_t SourceBytesRead = 0;
    TVolumeWriter Out;
    int32_t PartNumber = 0;
    std::unique_ptr<TFileStreamLite> BatchFile;
    bool OverwriteAll = false;
    int64_t Written = 0;
    TSfvLine ParityLine;
    std::vector<TSfvLine> RecoveryLines;
    // Output directory and the name of the first entry: every part, header
    // and batch file name starts with it.
    const std::string OutputPrefix;
};

uint8_t TSplitRun::Run() {
    try {
        SourceIndex = OpenNextSource(0);
        PartNumber = CreatePartFile(false, 1);
        WriteBatchLine(PartNumber);
        DataPhase();
        if (Result == rcOk)
            HeaderPhase();
        if (Result == rcOk)
            Out.Close();
        if (Result == rcOk && Params.Parity)
            WriteParity();
        if (Result == rcOk && Params.Recovery > 0)
            WriteRecovery();
        if (Result == rcOk)
            WriteChecksums();
        if (Result == rcOk && BatchFile)
            BatchFile->Close();
    } catch (const EExceptionLite& e) {
        Out.Abandon();
        Result = Job.ReportFileError(e);
    }
    // A split that stops (a source it cannot open or read, a cancel) keeps
    // in its parts every byte it read, as it did when each read was written
    // at once.
    Out.Abandon();
    FreeAndClear(SourceFile);
    FreeAndClear(BatchFile);
    return Result;
}

void TSplitRun::DataPhase() {
    while (Result == rcOk && SourceFile && Out.IsOpen()) {
        // A file is read only up to the size that the scan found: one that
        // grows meanwhile (a log, a link to an endless device) cannot carry
        // the set past what the header and the part limit were sized for.
        const int64_t sourceLeft = FileList.GetItem(SourceIndex)->Size - SourceBytesRead;
        const int64_t n = Out.CopyFrom(*SourceFile, sourceLeft);
        if (n > 0) {
            Written += n;
            SourceBytesRead += n;
        } else {
            SourceIndex = OpenNextSource(SourceIndex + 1);
        }
        // A full part is followed at once by the next one while a source is
        // open, even if that source has no bytes left: the last data part
        // then never leaves zero room for the first header file.
        if (Out.Room() == 0 && SourceFile) {
            if (StreamOverflows()) {
                Job.FailureText = LangText(msgStreamTooLong, {FormatZeroPadded(0, Params.Size)});
                Result = rcTooManyParts;
                return;
            }
            PartNumber = CreatePartFile(false, PartNumber + 1);
            WriteBatchLine(PartNumber);
        }
        Job.SetProgressPosition(Written);
        if (Job.CheckCancel(Job.Caption))
            Result = rcCancelled;
    }
}

// Standard input has no size to check before the split: its entry holds
// what the part limit takes, and one more byte there means that the stream
// would need part 1000.
bool TSplitRun::StreamOverflows() {
    if (Params.StreamName.empty() || SourceBytesRead < FileList.GetItem(SourceIndex)->Size)
        return false;
    char probe = 0;
    return SourceFile->Read(&probe, 1) > 0;
}

void TSplitRun::HeaderPhase() {
    const std::string headerText = FileList.BuildHeader();
    size_t offset = 0;
    int32_t headerNumber = 0;
    while (offset < headerText.size()) {
        ++headerNumber;
        CreatePartFile(true, headerNumber);
        if (!Out.IsOpen())
            return;
        // The first header file shares the last data part's volume in the
        // room that part left; every further one is a volume of its own.
        const int64_t chunk = Min64(static_cast<int64_t>(headerText.size() - offset), 1 << 30);
        const uint32_t k = Out.Write(headerText.data() + offset, static_cast<uint32_t>(chunk));
        // A short write moves the rest into the next header file; a write
        // that takes nothing would only create empty header files forever.
        if (k == 0)
            throw EExceptionLite(WriteErrorText);
        ++HeaderFilesWritten;
        offset += k;
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
    if (i >= 0) {
        TFileInfo* entry = FileList.GetItem(i);
        SourceFile = Params.StreamName.empty() ? TFileStreamLite::OpenForReading(
                                                     AddTrailingBackslash(FileList.BaseDir, NativePathStyle) + entry->Name)
                                               : TFileStreamLite::Standard(TStandardStream::Input);
    }
    return i;
}

// Written once the last header file is closed, before the sfv file, which
// lists it too.
void TSplitRun::WriteParity() {
    Out.FinishParity();
    const std::string head = BuildParityHead(Out.Layout(), Out.ParityBlock());
    std::unique_ptr<TFileStreamLite> file =
        Job.CreateAskingToOverwrite(ParityFileName(OutputPrefix), OverwriteAll);
    if (!file) {
        Result = rcCancelled;
        return;
    }
    TCrc32 crc;
    crc.Add(head.data(), head.size());
    crc.Add(Out.ParityBlock(), Out.ParityBlockSize());
    file->WriteAll(head.data(), head.size(), WriteErrorText);
    file->WriteAll(Out.ParityBlock(), Out.ParityBlockSize(), WriteErrorText);
    file->Close();
    ParityLine = TSfvLine{FileNamePart(ParityFileName(OutputPrefix), NativePathStyle), crc.Value};
}

// From the closed parts and header files, before the sfv file, which lists
// the recovery files too.
void TSplitRun::WriteRecovery() {
    std::vector<TRecoveryInput> inputs;
    const std::string dir = AddTrailingBackslash(Params.OutputDir, NativePathStyle);
    int64_t lastDataPart = 0;
    int64_t largest = 0;
    for (const TSfvLine& line : Out.Checksums()) {
        TRecoveryInput input;
        input.Path = dir + line.Name;
        input.Name = line.Name;
        input.Size = TFileStreamLite::OpenForReading(input.Path)->GetSize();
        bool header = false;
        if (PartNumberOf(line.Name, FileList.GetItem(0)->Name + ".", header) > 0 && !header)
            lastDataPart = input.Size;
        largest = std::max(largest, input.Size);
        inputs.push_back(input);
    }
    // The last data part shares its medium with header file 001 when it is
    // neither empty nor full: losing that volume loses two slices.
    const bool shared = lastDataPart > 0 && lastDataPart < Params.Size;
    TRecoveryOptions options;
    // A set of one short part needs no slice of a DVD's size.
    options.SliceSize = RecoverySliceSize(largest);
    options.RecoverySlices = RecoverySlicesFor(static_cast<uint32_t>(Params.Recovery), shared);
    options.Prefix = OutputPrefix;
    options.Create = [this](const std::string& path) { return Job.CreateAskingToOverwrite(path, OverwriteAll); };
    options.Progress = [this](int64_t) { return !Job.CheckCancel(Job.Caption); };
    bool cancelled = false;
    RecoveryLines = WriteRecoveryFiles(inputs, options, cancelled);
    if (cancelled)
        Result = rcCancelled;
}

int32_t TSplitRun::CreatePartFile(bool header, int32_t number) {
    Out.Close();
    if (!header || Out.Room() == 0)
        Out.StartVolume(Params.Size);
    const std::string name = PartFileName(OutputPrefix + ".", header, number);
    std::unique_ptr<TFileStreamLite> file = Job.CreateAskingToOverwrite(name, OverwriteAll);
    if (!file)
        Result = rcCancelled;
    else
        Out.Open(std::move(file), FileNamePart(name, NativePathStyle));
    return number;
}

// Written last: every part's checksum is known only once it is closed.
void TSplitRun::WriteChecksums() {
    std::vector<TSfvLine> lines = Out.Checksums();
    if (Params.Parity)
        lines.push_back(ParityLine);
    lines.insert(lines.end(), RecoveryLines.begin(), RecoveryLines.end());
    const std::string text = BuildSfv(lines);
    std::unique_ptr<TFileStreamLite> file = Job.CreateAskingToOverwrite(SfvFileName(OutputPrefix), OverwriteAll);
    if (!file) {
        Result = rcCancelled;
        return;
    }
    file->WriteAll(text.data(), text.size(), WriteErrorText);
    file->Close();
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
    if (!OsCopyFileNoReplace(program, target, error) && error.Kind != TOsErrorKind::Exists)
        Dialogue().Notify(TNotice::Error, error.Text);
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

uint8_t TFendrix::ListSource() {
    if (!Params->StreamName.empty()) {
        FileList->Clear();
        TFileInfo* entry = FileList->Add();
        entry->Kind = fkFile;
        entry->Name = Params->StreamName;
        // As much as the part limit takes; the header gets what was read.
        entry->Size = SaturatedPartLimit(Params->Size);
        entry->LastWriteTime = OsCurrentFileTime();
        return rcOk;
    }
    FileList->Policy = ScanPolicy;
    // Any total can be cut into equal parts: their size follows from it.
    const int64_t limit =
        Params->EqualParts > 0 ? std::numeric_limits<int64_t>::max() : SaturatedPartLimit(Params->Size);
    if (FileList->ScanPath(Params->SourcePath, limit))
        return rcTooManyParts;
    if (Params->EqualParts > 0) {
        Params->Size = EqualPartSize(FileList->TotalSize(), Params->EqualParts);
        if (Params->Size <= 0)
            return rcInvalidSize;
    }
    return rcOk;
}

uint8_t TFendrix::SplitSteps(uint8_t r) {
    try {
        if (r == rcOk)
            r = ListSource();
    } catch (const EExceptionLite& e) {
        r = ReportFileError(e);
    }
    // A drive root without entries leaves nothing to split and nothing to
    // name the parts after.
    if (r == rcOk && FileList->Count() == 0)
        r = rcSourceNotFound;
    // What the split writes, the empty last part of a source that is an
    // exact multiple of the part size included.
    const int64_t dataParts = r == rcOk ? SplitDataPartCount(FileList->TotalSize(), Params->Size) : 0;
    // The header text as the scan sees it; built once for the guard and
    // the progress total (the one written is built after the data).
    const int64_t headerSize = r == rcOk ? FileList->HeaderSize() : 0;
    // The parity block is held in memory for the whole split.
    if (r == rcOk && Params->Parity && Params->Size > ParityLargestPart)
        r = rcInvalidSize;
    if (r == rcOk && Params->Recovery == RecoveryCountInvalid) {
        FailureText = LangText(msgRecoveryCountInvalid);
        r = rcInvalidSize;
    }
    if (r == rcOk) {
        const std::string victim = SourceInTheWay(*this, headerSize);
        if (!victim.empty())
            r = ReportFileError(LangText(msgSourceInTheWay, {victim}));
    }
    if (r == rcOk && !Dialogue().Confirm(TQuestion::Start, LangText(msgConfirmPartCount, {FormatZeroPadded(0, dataParts),
                                                                                         LangText(msgEscInterrupts)})))
        r = rcCancelled;
    if (r == rcOk) {
        if (Params->Copy)
            CopyProgram();
        // Standard input's total is known only at its end.
        SetProgressTotal(Params->StreamName.empty() ? FileList->TotalSize() + headerSize : 0);
        r = SplitCore();
    }
    if (r == rcOk) {
        std::string report =
            LangText(msgSplitReport, {FormatZeroPadded(0, dataParts), FormatZeroPadded(0, HeaderFilesWritten)});
        if (Params->Size == DefaultPartSize)
            report += "\r\n" + LangText(msgDisketteNote);
        if (Params->Parity)
            report += "\r\n" + LangText(msgSetSurvivesLoss, {ParityFileName(FileList->GetItem(0)->Name)});
        if (Params->Recovery > 0) {
            const std::string name = FileList->GetItem(0)->Name;
            report += "\r\n" + LangText(msgRecoverySurvivesLoss,
                                         {name + ".par2", name + ".vol*.par2", FormatZeroPadded(0, Params->Recovery)});
        }
        Dialogue().Notify(TNotice::Information, report);
    }
    return r;
}
