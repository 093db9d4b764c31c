// The join job: the header text from the header files (or one file from the
// numbered parts alone), then the data parts in number order streamed into
// the listed files, each stamped with its recorded time.
#include "Attempt.h"
#include "JobDialogue.h"
#include "JoinedSetAccess.h"
#include "ParityRepair.h"
#include "RecoveryRepair.h"
#include "SetChecksums.h"
#include "SetLayout.h"
#include "UnitFendrix.h"
#include "VolumeWriter.h"

#include "foundation/UnitFileStream.h"
#include "foundation/UnitImport.h"
#include "foundation/UnitLanguage.h"
#include "foundation/checksum/Crc32.h"
#include "foundation/platform/FileSystem.h"
#include "index/EntryNames.h"
#include "index/PartNames.h"
#include "index/RestorableList.h"

#include <algorithm>
#include <map>
#include <set>
#include <vector>

namespace {

class TJoinRun {
public:
    explicit TJoinRun(TFendrix& job)
        : Job(job), Params(*job.Params), FileList(*job.FileList), Buffer(CopyBufferSize) {}

    uint8_t Run();

private:
    void BuildList();
    void ReadHeader();
    void CopyData();
    int32_t OpenPart(bool header, int32_t number);
    // Opens a data part; for standard output, which cannot be written
    // again, the part is first checked whole.
    void OpenDataPart(int32_t number);
    void DescribeSet();
    void RefuseUnlessOneFile();
    void ClosePart();
    bool PartOpen() const { return PartStream || MemoryPart || ZeroPart; }
    uint32_t ReadPart(uint32_t count);
    int64_t CopyIntoOutput();
    // Rebuilds the volume that holds a missing or damaged part from the
    // parity file and the other volumes, asking first in the window; true
    // when the part is then read from memory.
    bool RebuildPart(const std::string& name);
    bool RebuildFromParity(const std::string& name);
    // Rebuilds every lost file of the set at once from its recovery files,
    // into copies beside the output; true when the named one has a copy
    // that OpenRebuiltCopy then opens in its place.
    bool RebuildFromRecovery(const std::string& name);
    bool OpenRebuiltCopy(const std::string& name);
    // A data part whose disk was not found, in a set with recovery files:
    // its bytes are left as zeros in the output, to be rebuilt at the end.
    bool LeaveForRecovery(const std::string& name);
    void RebuildLeftParts();
    std::string FreeCopyPath(const std::string& name) const;
    void RemoveRebuiltCopies();
    void DrainPart();
    bool VerifiedPart(bool header, bool lastRead = false);
    // Why the open data part does not fit the set's layout; empty when it
    // fits. The part that holds the set's end counts with all its bytes.
    std::string LayoutFault(bool lastRead);
    int64_t OpenPartSize();
    // The text of a lost part, with why the parity file did not rebuild it
    // where one was tried.
    std::string WithParityNote(const std::string& text, const std::string& name) const;
    bool BuildNumberedList();
    void RestoreDirectoryTimes();
    void RewindToPartStart();
    uint8_t AskForPart(std::string& partsDir, const std::string& name);
    int32_t OpenNextOutput(int32_t index);
    void FinishOutput();
    bool IsPartOfTheSet(const std::string& path) const;

    TFendrix& Job;
    TFendrixStartParams& Params;
    TFileInfos& FileList;

    uint8_t Result = rcOk;
    std::string PartsDir;
    std::string PartName;
    int32_t PartNo = 1;
    std::unique_ptr<TFileStreamLite> PartStream;
    TCrc32 PartCrc;
    int64_t PartBytes = 0;
    // The size of data part 001, which every part of a set but its last has.
    int64_t FirstPartSize = -1;
    // The open output file, each one a volume of its recorded size: its
    // room is what the open file still wants.
    TVolumeWriter Out{false, 0};
    int32_t OutIndex = 0;
    int64_t Position = 0;
    bool OverwriteAll = false;
    // Every output file up to this index was created by this join: when a
    // damaged part is read again, they are written again without asking.
    int32_t HighestCreated = -1;
    TPageBuffer Buffer;
    // The set's name up to its number, and every directory a part of it was
    // read from: the output must not replace a part.
    std::string SetStem;
    std::vector<std::string> PartsDirsSeen;
    TSetChecksums Checksums;
    // Loaded only once a part is lost: a join of a whole set never reads
    // the parity file. A rebuilt part is read from memory and never written
    // beside the set.
    TParityRepair Parity{Checksums};
    bool ParityTried = false;
    // Loaded only once a part is lost that the parity file does not
    // rebuild. Its copies (by upper-cased part name) go when the join ends;
    // a part whose copy was read once and failed is not rebuilt again.
    TRecoveryRepair Recovery;
    bool RecoveryTried = false;
    std::map<std::string, std::string> RebuiltCopies;
    std::set<std::string> RebuiltCopiesRead;
    // The parts left for the recovery files, and the header files as read,
    // which the rebuild reads beside the output.
    bool ZeroPart = false;
    std::vector<std::string> LeftParts;
    std::vector<std::string> HeaderFiles;
    const char* MemoryPart = nullptr;
    int64_t MemorySize = 0;
    int64_t MemoryPos = 0;

    // Where the output stood when the open data part began, so that a good
    // copy of a damaged part can write again what the damaged one wrote.
    struct TPartStart {
        bool OutputOpen = false;
        int32_t OutIndex = 0;
        int64_t Offset = 0;
        int64_t Position = 0;
    } PartStart;
};

uint8_t TJoinRun::Run() {
    try {
        PartsDir = ParentPath(Params.SourcePath, NativePathStyle);
        PartName = FileNamePart(Params.SourcePath, NativePathStyle);
        SetStem = SetStemOf(PartName);
        Checksums.Load(PartsDir, SetStem);
        BuildList();
        if (Result == rcOk && Params.ListOnly) {
            DescribeSet();
        } else {
            if (Result == rcOk && Params.ToStandardOutput)
                RefuseUnlessOneFile();
            if (Result == rcOk)
                CopyData();
            if (Result == rcOk && !LeftParts.empty())
                RebuildLeftParts();
            if (Result == rcOk)
                RestoreDirectoryTimes();
        }
    } catch (const EExceptionLite& e) {
        Result = Job.ReportFileError(e);
    }
    ClosePart();
    Out.Abandon();
    RemoveRebuiltCopies();
    return Result;
}

void TJoinRun::BuildList() {
    if (Params.NoHeader) {
        Result = BuildNumberedList() ? rcOk : rcSourceNotFound;
        return;
    }
    ReadHeader();
    if (Result != rcOk)
        return;
    // Names are checked before anything is created: a refused header leaves
    // the output directory exactly as it was.
    if (const TFileInfo* unsafe = FirstUnsafeEntry(FileList, Job.ScanPolicy.Rules)) {
        Job.FailureText =
            LangText(msgHeaderEntryUnsafe, {PartFileName(SetStem, true, 1), ShownEntryName(unsafe->Name)});
        Result = rcInvalidHeader;
    }
}

void TJoinRun::ReadHeader() {
    std::string headerText;
    OpenPart(true, 1);
    while (Result == rcOk && PartOpen()) {
        const size_t before = headerText.size();
        for (;;) {
            const uint32_t got = ReadPart(CopyBufferSize);
            if (got == 0)
                break;
            headerText.append(Buffer.data(), got);
        }
        if (!VerifiedPart(true)) {
            headerText.resize(before);
            continue;
        }
        HeaderFiles.push_back(headerText.substr(before));
        if (TFileInfos::IsCompleteHeader(headerText))
            ClosePart();
        else
            OpenPart(true, PartNo + 1);
    }
    if (Result == rcOk && !FileList.ParseHeader(headerText)) {
        Job.FailureText = LangText(msgHeaderInvalid, {PartFileName(SetStem, true, 1)});
        Result = rcInvalidHeader;
    }
}

void TJoinRun::CopyData() {
    Position = 0;
    Job.SetProgressTotal(FileList.TotalSize());
    OpenDataPart(1);
    if (Result == rcOk)
        OutIndex = OpenNextOutput(0);
    for (;;) {
        while (Result == rcOk && PartOpen() && Out.IsOpen()) {
            const int64_t got = CopyIntoOutput();
            Position += got;
            if (got == 0 && Out.Room() > 0 && VerifiedPart(false))
                OpenDataPart(PartNo + 1);
            if (Result == rcOk && Out.IsOpen() && Out.Room() == 0) {
                FinishOutput();
                OutIndex = OpenNextOutput(OutIndex + 1);
            }
            Job.SetProgressPosition(Position);
            if (Job.CheckCancel(Job.Caption))
                Result = rcCancelled;
        }
        // The part that holds the set's end is checked as a whole, up to its
        // last byte; a good copy of it sends the copy round once more.
        if (Result != rcOk || !PartOpen())
            return;
        DrainPart();
        if (VerifiedPart(false, true))
            return;
    }
}

// Moves bytes of the open part into the output, as many as the output
// still wants; 0 where the part has none left. A part that the sfv file
// lists needs its CRC: the system then takes the copy only where it moves
// each byte once at most (cloned blocks, or a write from a mapping that the
// CRC reads beside it).
int64_t TJoinRun::CopyIntoOutput() {
    if (MemoryPart || ZeroPart) {
        const uint32_t got = ReadPart(static_cast<uint32_t>(Min64(CopyBufferSize, Out.Room())));
        if (got > 0 && Out.Write(Buffer.data(), got) != got)
            throw EExceptionLite(WriteErrorText);
        return got;
    }
    TBytesSeen see;
    if (Checksums.Lists(PartName))
        see = [this](const char* data, uint32_t count) { PartCrc.Add(data, count); };
    const int64_t got = Out.CopyFrom(*PartStream, Out.Room(), see);
    PartBytes += got;
    return got;
}

uint32_t TJoinRun::ReadPart(uint32_t count) {
    uint32_t got = 0;
    if (ZeroPart) {
        got = static_cast<uint32_t>(Min64(count, MemorySize - MemoryPos));
        std::fill(Buffer.data(), Buffer.data() + got, '\0');
        MemoryPos += got;
    } else if (MemoryPart) {
        got = static_cast<uint32_t>(Min64(count, MemorySize - MemoryPos));
        std::copy(MemoryPart + MemoryPos, MemoryPart + MemoryPos + got, Buffer.data());
        MemoryPos += got;
    } else {
        got = PartStream->Read(Buffer.data(), count);
    }
    PartCrc.Add(Buffer.data(), got);
    PartBytes += got;
    return got;
}

void TJoinRun::DrainPart() {
    if (!Checksums.Lists(PartName))
        return;
    while (ReadPart(CopyBufferSize) > 0) {
    }
}

// True for a part that its checksum confirms, or that has none, and that
// fits the set's layout (SetLayout.h): read before the last one, it has the
// size of part 001, and the part that holds the set's end holds no more than
// what is left (a part of another size would shift every byte after it).
// Otherwise a silent join ends with rcDamaged; the window names the part and
// asks for another copy, which is opened in its place (false, Result still
// rcOk), or the job is cancelled.
bool TJoinRun::VerifiedPart(bool header, bool lastRead) {
    if (ZeroPart)
        return true;
    std::string fault;
    std::string windowText;
    if (!Checksums.Matches(PartName, PartCrc.Value)) {
        fault = LangText(msgFileIsDamaged, {PartName});
        windowText = LangText(msgPartDamaged, {PartName});
    } else if (!header && !Params.NoHeader) {
        fault = LayoutFault(lastRead);
        windowText = fault + "\r\n" + LangText(msgChooseAnotherCopy);
    }
    if (fault.empty())
        return true;
    // Another copy from the person, or the part rebuilt; unattended, the
    // damage is the job's result.
    TJobDialogue& dialogue = Job.Dialogue();
    dialogue.Notify(TNotice::Warning, windowText);
    if (!dialogue.ChooseFile(PartsDir, PartName) && !RebuildPart(PartName)) {
        if (dialogue.Attended()) {
            Result = rcCancelled;
        } else {
            Job.FailureText = WithParityNote(fault, PartName);
            Result = rcDamaged;
        }
    }
    if (Result != rcOk)
        return false;
    if (header)
        OpenPart(true, PartNo);
    else
        RewindToPartStart();
    return false;
}

std::string TJoinRun::LayoutFault(bool lastRead) {
    TPartPlace place;
    place.Size = lastRead ? OpenPartSize() : PartBytes;
    if (PartNo == 1)
        FirstPartSize = place.Size;
    place.FirstPartSize = FirstPartSize;
    place.Before = PartStart.Position;
    place.Total = FileList.TotalSize();
    return PartFitText(PartName, place);
}

int64_t TJoinRun::OpenPartSize() {
    return MemoryPart || ZeroPart ? MemorySize : PartStream->GetSize();
}

std::string TJoinRun::WithParityNote(const std::string& text, const std::string& name) const {
    if (RecoveryTried && !Recovery.TooFewNote(SetStem).empty())
        return text + Recovery.TooFewNote(SetStem);
    if (!ParityTried)
        return text;
    const std::string note = Parity.FailureNote(name);
    return note.empty() ? text : text + "\r\n" + note;
}

void TJoinRun::RewindToPartStart() {
    const TPartStart start = PartStart;
    if (Params.ToStandardOutput) {
        // The part was checked before its first byte went out: only a part
        // that changed since cannot be taken back.
        if (Out.IsOpen() && Out.FilePosition() != start.Offset) {
            Job.FailureText = LangText(msgFileIsDamaged, {PartName});
            Result = rcDamaged;
            return;
        }
        Position = start.Position;
        OpenPart(false, PartNo);
        return;
    }
    Out.Close();
    if (!start.OutputOpen) {
        // Where the part begins is taken down as it is opened again.
        Position = start.Position;
        OpenPart(false, PartNo);
        if (Result == rcOk)
            OutIndex = OpenNextOutput(start.OutIndex);
        return;
    }
    const TFileInfo* entry = FileList.GetItem(start.OutIndex);
    OutIndex = start.OutIndex;
    const std::string path = AddTrailingBackslash(Params.OutputDir, NativePathStyle) + entry->Name;
    std::unique_ptr<TFileStreamLite> file = TFileStreamLite::OpenForWriting(path);
    file->Seek(start.Offset, 0);
    Out.StartVolume(entry->Size);
    Out.Open(std::move(file), path, start.Offset);
    Position = start.Position;
    OpenPart(false, PartNo);
}

// Writes move a file's time on where the file system updates it on every
// write (Linux under Wine): the recorded time is set once more after the
// last byte, so it is what the finished file keeps.
void TJoinRun::FinishOutput() {
    if (const TFileInfo* entry = FileList.GetItem(OutIndex); Out.IsOpen() && entry && !Params.ToStandardOutput)
        Out.SetLastWriteTime(entry->LastWriteTime);
}

void TJoinRun::ClosePart() {
    FreeAndClear(PartStream);
    MemoryPart = nullptr;
    ZeroPart = false;
}

bool TJoinRun::RebuildPart(const std::string& name) {
    // A listing reads the header files alone.
    if (Params.ListOnly)
        return false;
    return RebuildFromParity(name) || RebuildFromRecovery(name);
}

bool TJoinRun::RebuildFromRecovery(const std::string& name) {
    // Standard output has no place beside it for the rebuilt copies.
    if (Params.ToStandardOutput || RebuiltCopiesRead.count(UpperText(name)) != 0)
        return false;
    if (!RecoveryTried) {
        RecoveryTried = true;
        const bool usable = AttemptSucceeds([&] {
            if (!Recovery.Load(PartsDir, SetStem))
                return false;
            TFolderAccess parts(PartsDir);
            parts.Target = [this](const std::string& lost) { return RebuiltCopies[UpperText(lost)]; };
            Recovery.Check(parts);
            if (Recovery.CanRebuild() &&
                Job.Dialogue().Confirm(TQuestion::Rebuild, LangText(msgRebuildFromRecovery, {name}))) {
                for (const std::string& lost : Recovery.Lost())
                    RebuiltCopies[UpperText(lost)] = FreeCopyPath(lost);
                return Recovery.Rebuild(parts);
            }
            return true;
        });
        if (!usable) {
            RemoveRebuiltCopies();
            return false;
        }
    }
    // An empty data part (the last of a set whose total fills its parts)
    // is no slice of the recovery data: its empty checksum says all of it.
    bool header = false;
    if (RebuiltCopies.count(UpperText(name)) == 0 && Recovery.Loaded() && PartNumberOf(name, SetStem, header) > 0 &&
        !header && Checksums.ListsEmpty(name)) {
        const std::string path = FreeCopyPath(name);
        TFileStreamLite::CreateForWriting(path)->Close();
        RebuiltCopies[UpperText(name)] = path;
    }
    // The copy is opened where the part would be.
    return RebuiltCopies.count(UpperText(name)) != 0;
}

// A name beside the output that nothing has yet: no file is written over.
std::string TJoinRun::FreeCopyPath(const std::string& name) const {
    const std::string base = AddTrailingBackslash(Params.OutputDir, NativePathStyle) + name + ".rebuilt";
    std::string path = base;
    for (int n = 2; PathKind(path) != pkNotFound; ++n)
        path = base + FormatZeroPadded(0, n);
    return path;
}

bool TJoinRun::LeaveForRecovery(const std::string& name) {
    bool header = false;
    // Part 001 gives the size of the others, and the header comes first.
    if (PartNumberOf(name, SetStem, header) <= 1 || header || FirstPartSize <= 0 || Params.ToStandardOutput ||
        Params.NoHeader || !Checksums.Lists(SetStem + "par2"))
        return false;
    ClosePart();
    ZeroPart = true;
    MemoryPos = 0;
    MemorySize = Min64(FirstPartSize, FileList.TotalSize() - PartStart.Position);
    LeftParts.push_back(name);
    return true;
}

// The recovery files are asked for once every other part is in the output;
// the lost parts' bytes are rebuilt from them and the output itself.
void TJoinRun::RebuildLeftParts() {
    Out.Close();
    const std::string index = SetStem + "par2";
    std::string dir = PartsDir;
    if (PathKind(AddTrailingBackslash(dir, NativePathStyle) + index) != pkFile) {
        Job.Dialogue().Notify(TNotice::Information, LangText(msgInsertRecoveryDisk, {LeftParts.front(), index}));
        if (!Job.Dialogue().ChooseFile(dir, index)) {
            Job.FailureText = LangText(msgFileMissing, {LeftParts.front()});
            Result = rcSourceNotFound;
            return;
        }
    }
    TRecoveryRepair recovery;
    TJoinedSetAccess joined(SetStem, Params.OutputDir, FileList, FirstPartSize, HeaderFiles);
    if (recovery.Load(dir, SetStem))
        recovery.Check(joined);
    if (!recovery.Loaded() || !recovery.CanRebuild() || !recovery.Rebuild(joined)) {
        Job.FailureText = LangText(msgFileMissing, {LeftParts.front()}) + recovery.TooFewNote(SetStem);
        Result = rcSourceNotFound;
        return;
    }
    // Writing moved the files' times on.
    const std::string out = AddTrailingBackslash(Params.OutputDir, NativePathStyle);
    for (int32_t i = 0; i < FileList.Count(); ++i) {
        const TFileInfo* entry = FileList.GetItem(i);
        TOsError error;
        if (entry->Kind == fkFile)
            OsSetPathLastWriteTime(out + entry->Name, entry->LastWriteTime, error);
    }
}

bool TJoinRun::OpenRebuiltCopy(const std::string& name) {
    const auto copy = RebuiltCopies.find(UpperText(name));
    if (copy == RebuiltCopies.end() || RebuiltCopiesRead.count(copy->first) != 0)
        return false;
    ClosePart();
    RebuiltCopiesRead.insert(copy->first);
    PartStream = TFileStreamLite::OpenForReading(copy->second);
    return true;
}

void TJoinRun::RemoveRebuiltCopies() {
    for (const auto& [name, path] : RebuiltCopies) {
        TOsError error;
        if (PathKind(path) == pkFile)
            OsDeleteFile(path, error);
    }
    RebuiltCopies.clear();
}

// Once a volume is rebuilt, its parts come from memory: the medium that held
// them is the one that was lost.
bool TJoinRun::RebuildFromParity(const std::string& name) {
    // A parity file or part that cannot be read, or a block that finds no
    // memory, rebuilds nothing; the join ends as it would without a parity
    // file.
    const bool rebuilt = AttemptSucceeds([&] {
        if (!ParityTried) {
            ParityTried = true;
            Parity.Load(PartsDir, SetStem);
        }
        if (Parity.RebuiltVolume() >= 0)
            return true;
        const int32_t volume = Parity.Loaded() ? Parity.VolumeOf(name) : -1;
        if (volume < 0)
            return false;
        if (!Job.Dialogue().Confirm(TQuestion::Rebuild, LangText(msgRebuildFromParity, {name})))
            return false;
        return Parity.Rebuild(PartsDir, volume);
    });
    if (!rebuilt)
        return false;
    ClosePart();
    MemoryPos = 0;
    return Parity.Rebuilt(name, MemoryPart, MemorySize);
}

void TJoinRun::OpenDataPart(int32_t number) {
    OpenPart(false, number);
    if (!Params.ToStandardOutput)
        return;
    // A part that fails is opened again (a copy rebuilt from the parity
    // file, read from memory) or ends the join.
    while (Result == rcOk && PartStream) {
        if (Checksums.Lists(PartName))
            DrainPart();
        if (VerifiedPart(false, true)) {
            PartStream->Seek(0, 0);
            PartCrc = TCrc32();
            PartBytes = 0;
            return;
        }
    }
}

void TJoinRun::RefuseUnlessOneFile() {
    if (FileList.Count() == 1 && FileList.GetItem(0)->Kind == fkFile)
        return;
    Job.FailureText = LangText(msgSetNotOneFile, {Params.SourcePath});
    Result = rcSourceIsDirectory;
}

// What a listing shows beside the entries: read from the names of the set's
// files only, never from the data parts' bytes.
void TJoinRun::DescribeSet() {
    TSetListing& listing = Job.Listing;
    listing.HeaderFiles = PartNo;
    const std::string dir = AddTrailingBackslash(PartsDir, NativePathStyle);
    TEntryInfo info;
    if (OsQueryPath(dir + PartFileName(SetStem, false, 1), info) && info.Kind == TEntryKind::File && info.Size > 0) {
        listing.PartSize = info.Size;
        listing.DataParts = SplitDataPartCount(FileList.TotalSize(), info.Size);
    }
    listing.HasChecksums = !Checksums.Empty();
    const std::string parity = ParityFileName(SetStem.substr(0, SetStem.size() - 1));
    listing.HasParity = Checksums.Lists(parity) || (OsQueryPath(dir + parity, info) && info.Kind == TEntryKind::File);
    const std::string recovery = SetStem + "par2";
    listing.HasRecovery =
        Checksums.Lists(recovery) || (OsQueryPath(dir + recovery, info) && info.Kind == TEntryKind::File);
}

int32_t TJoinRun::OpenPart(bool header, int32_t number) {
    ClosePart();
    PartCrc = TCrc32();
    PartBytes = 0;
    PartName = PartFileName(SetStem, header, number);
    PartNo = number;
    if (!header) {
        PartStart.OutputOpen = Out.IsOpen();
        PartStart.OutIndex = Out.IsOpen() ? OutIndex : 0;
        PartStart.Offset = Out.IsOpen() ? Out.FilePosition() : 0;
        PartStart.Position = Position;
    }
    if (Parity.RebuiltVolume() >= 0 && RebuildPart(PartName))
        return number;
    if (OpenRebuiltCopy(PartName))
        return number;
    Result = AskForPart(PartsDir, PartName);
    if (Result == rcOk && !PartOpen() && OpenRebuiltCopy(PartName))
        return number;
    if (Result == rcOk && !PartOpen()) {
        PartStream = TFileStreamLite::OpenForReading(AddTrailingBackslash(PartsDir, NativePathStyle) + PartName);
        const std::string dir = UpperText(UniformSeparators(PartsDir, NativePathStyle));
        if (PartsDirsSeen.empty() || PartsDirsSeen.back() != dir)
            PartsDirsSeen.push_back(dir);
    }
    return number;
}

uint8_t TJoinRun::AskForPart(std::string& partsDir, const std::string& name) {
    auto present = [&] { return PathKind(AddTrailingBackslash(partsDir, NativePathStyle) + name) == pkFile; };
    if (present())
        return rcOk;
    // The next diskette, the file chosen, the part rebuilt, or left for the
    // recovery files to rebuild at the end; unattended, a part that cannot
    // be rebuilt at once is the job's result.
    TJobDialogue& dialogue = Job.Dialogue();
    dialogue.Notify(TNotice::Information, LangText(msgInsertNextDisk, {name}));
    if (dialogue.Attended() && present())
        return rcOk;
    if (dialogue.ChooseFile(partsDir, name) || RebuildPart(name))
        return rcOk;
    if (!dialogue.Attended()) {
        Job.FailureText = WithParityNote(LangText(msgFileMissing, {name}), name);
        return rcSourceNotFound;
    }
    if (LeaveForRecovery(name))
        return rcOk;
    dialogue.Notify(TNotice::Warning, LangText(msgFileMissing, {name}));
    return rcCancelled;
}

int32_t TJoinRun::OpenNextOutput(int32_t index) {
    Out.Close();
    const std::string outputDir = AddTrailingBackslash(Params.OutputDir, NativePathStyle);
    while (index < FileList.Count() && FileList.GetItem(index)->Kind == fkDirectory) {
        // An existing directory is fine; one that is still missing after the
        // attempt would silently drop everything the set keeps in it.
        const std::string dir = outputDir + FileList.GetItem(index)->Name;
        TOsError error;
        if (!OsCreateDirectory(dir, error) && PathKind(dir) != pkDirectory)
            RaiseOsError(error, dir);
        ++index;
    }
    if (index >= FileList.Count())
        return index;

    const TFileInfo* entry = FileList.GetItem(index);
    if (Params.ToStandardOutput) {
        Out.StartVolume(entry->Size);
        Out.Open(TFileStreamLite::Standard(TStandardStream::Output), "-");
        return index;
    }
    const std::string path = outputDir + entry->Name;
    if (IsPartOfTheSet(path))
        throw EExceptionLite(LangText(msgPartInTheWay, {path}));
    std::unique_ptr<TFileStreamLite> file = index <= HighestCreated ? TFileStreamLite::CreateForWriting(path)
                                                                     : Job.CreateAskingToOverwrite(path, OverwriteAll);
    if (!file) {
        Result = rcCancelled;
        return index;
    }
    HighestCreated = std::max(HighestCreated, index);
    Out.StartVolume(entry->Size);
    Out.Open(std::move(file), path);
    Out.SetLastWriteTime(entry->LastWriteTime);
    return index;
}

// The one file that numbered parts hold without a header. With the set's
// sfv file beside them, the set is exactly the data parts it lists, so that
// stale parts of an earlier, longer split are left out; without one, the
// parts from 001 up to the first gap, and a part beyond a gap means that
// the gap is a lost part, not the set's end.
bool TJoinRun::BuildNumberedList() {
    const std::string dir = AddTrailingBackslash(PartsDir, NativePathStyle);
    std::vector<int32_t> numbers;
    // The first part of the set that is not there, for an unattended join's
    // text.
    auto missing = [&](int32_t number) {
        if (!Job.Dialogue().Attended())
            Job.FailureText = LangText(msgFileMissing, {PartFileName(SetStem, false, number)});
    };
    if (Checksums.Empty()) {
        if (!FileList.ScanNumberedParts(Params.SourcePath)) {
            // Such a set has at least two parts.
            missing(PathKind(dir + PartFileName(SetStem, false, 1)) == pkFile ? 2 : 1);
            return false;
        }
        int32_t highest = 0;
        TDirectoryReader reader(PartsDir);
        TEntryInfo info;
        while (reader.Next(info)) {
            bool header = false;
            const int32_t n = PartNumberOf(info.Name, SetStem, header);
            if (!header && info.Kind == TEntryKind::File)
                highest = std::max(highest, n);
        }
        for (int32_t n = 1; n <= highest; ++n)
            numbers.push_back(n);
    } else {
        for (const std::string& name : Checksums.Names()) {
            bool header = false;
            const int32_t n = PartNumberOf(name, SetStem, header);
            if (n > 0 && !header)
                numbers.push_back(n);
        }
        std::sort(numbers.begin(), numbers.end());
    }
    int64_t total = 0;
    TEntryInfo info;
    for (size_t i = 0; i < numbers.size(); ++i) {
        const std::string name = PartFileName(SetStem, false, static_cast<int32_t>(i + 1));
        if (numbers[i] != static_cast<int32_t>(i + 1) || !OsQueryPath(dir + name, info) ||
            info.Kind != TEntryKind::File) {
            missing(static_cast<int32_t>(i + 1));
            Job.Dialogue().Notify(TNotice::Warning, LangText(msgFileMissing, {name}));
            FileList.Clear();
            return false;
        }
        total += info.Size;
    }
    if (Checksums.Empty())
        return true;
    if (numbers.empty()) {
        missing(1);
        return false;
    }
    FileList.Clear();
    TFileInfo* entry = FileList.Add();
    entry->Kind = fkFile;
    entry->Name = SetStem.substr(0, SetStem.size() - 1);
    entry->Size = total;
    if (OsQueryPath(dir + PartFileName(SetStem, false, 1), info))
        entry->LastWriteTime = info.LastWriteTime;
    return true;
}

// Writing a directory's entries moves its time on: every directory gets its
// recorded time once all is written, the deepest first (the list holds each
// directory before its contents).
void TJoinRun::RestoreDirectoryTimes() {
    const std::string outputDir = AddTrailingBackslash(Params.OutputDir, NativePathStyle);
    for (int32_t i = FileList.Count() - 1; i >= 0; --i) {
        const TFileInfo* entry = FileList.GetItem(i);
        TOsError error;
        if (entry->Kind == fkDirectory && !OsSetPathLastWriteTime(outputDir + entry->Name, entry->LastWriteTime, error))
            RaiseOsError(error, outputDir + entry->Name);
    }
}

bool TJoinRun::IsPartOfTheSet(const std::string& path) const {
    bool header = false;
    if (PartNumberOf(FileNamePart(path, NativePathStyle), SetStem, header) == 0)
        return false;
    const std::string dir = UpperText(UniformSeparators(ParentPath(path, NativePathStyle), NativePathStyle));
    for (const std::string& seen : PartsDirsSeen) {
        if (seen == dir)
            return true;
    }
    return false;
}

}  // namespace

uint8_t TFendrix::JoinCore() {
    TJoinRun run(*this);
    return run.Run();
}

uint8_t TFendrix::JoinSteps(uint8_t r) {
    if (r == rcOk && !Dialogue().Confirm(TQuestion::Start, LangText(msgConfirmJoin, {LangText(msgEscInterrupts)})))
        r = rcCancelled;
    if (r == rcOk)
        r = JoinCore();
    return r;
}
