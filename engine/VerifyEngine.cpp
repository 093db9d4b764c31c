// The verify run: every header file and data part of a set is read once and
// checked, against the set's sfv file where there is one, and the data parts
// against the layout that the header's total gives them (SetLayout.h).
// Nothing is written, unless a repair is asked for and the set's parity file
// rebuilds what was lost.
#include "Attempt.h"
#include "DamagedCopy.h"
#include "ParityRepair.h"
#include "RecoveryFiles.h"
#include "RecoveryRepair.h"
#include "SetChecksums.h"
#include "SetLayout.h"
#include "UnitFendrix.h"

#include "foundation/UnitFileStream.h"
#include "foundation/UnitImport.h"
#include "foundation/platform/FileSystem.h"
#include "foundation/UnitLanguage.h"
#include "foundation/checksum/Crc32.h"
#include "index/PartNames.h"
#include "index/RestorableList.h"

#include <set>
#include <vector>

namespace {

class TVerifyRun {
public:
    TVerifyRun(const std::string& anyFile, TFendrix& job)
        : Dir(ParentPath(anyFile, NativePathStyle)), Job(job), List(*job.FileList), FailureText(job.FailureText),
          Buffer(CopyBufferSize) {
        Stem = SetStemOf(FileNamePart(anyFile, NativePathStyle));
    }

    // With repair, a volume that the parity file rebuilds is written back
    // and Repaired is set; the set then wants a fresh run.
    uint8_t Run(bool repair);
    bool Repaired = false;
    // The CRC-32s of files that a repair from the recovery files read whole
    // and found good, by name in capitals: the fresh run after it takes
    // them as read.
    std::vector<std::pair<std::string, uint32_t>> KnownCrcs;

private:
    uint8_t CheckSet();
    // The parity file that the sfv file lists is there and intact.
    uint8_t CheckParityFile();
    void WriteBack(const TParityRepair& parity);
    // With the set's recovery files, when the parity file was no help.
    uint8_t RepairFromRecovery(uint8_t fault, bool repair);

    // rcOk, or why the file fails: missing or damaged. Its bytes are added
    // to text when asked for, and its size is kept in Size.
    uint8_t Check(const std::string& name, std::string* text = nullptr);
    uint8_t LengthWrong() {
        FailureText = LangText(msgSetLengthWrong, {Stem.substr(0, Stem.size() - 1)});
        return rcDamaged;
    }
    uint8_t HeaderInvalid() {
        FailureText = LangText(msgHeaderInvalid, {PartFileName(Stem, true, 1)});
        return rcInvalidHeader;
    }
    // The file that Check looked at last: after a failure, the one at fault,
    // which the parity file's note names.
    std::string LastChecked;

    std::string Dir;
    std::string Stem;
    TFendrix& Job;
    TFileInfos& List;
    std::string& FailureText;
    TSetChecksums Checksums;
    std::set<std::string> Checked;
    TPageBuffer Buffer;
    int64_t Size = 0;
};

uint8_t TVerifyRun::Check(const std::string& name, std::string* text) {
    Checked.insert(UpperText(name));
    const std::string path = AddTrailingBackslash(Dir, NativePathStyle) + name;
    LastChecked = name;
    TEntryInfo info;
    if (!OsQueryPath(path, info) || info.Kind != TEntryKind::File) {
        FailureText = LangText(msgFileMissing, {name});
        return rcSourceNotFound;
    }
    for (const auto& [known, value] : KnownCrcs) {
        if (!text && known == UpperText(name)) {
            Size = info.Size;
            if (Checksums.Matches(name, value))
                return rcOk;
            FailureText = LangText(msgFileIsDamaged, {name});
            return rcDamaged;
        }
    }
    const auto file = TFileStreamLite::OpenForReading(path);
    TCrc32 crc;
    Size = 0;
    for (;;) {
        const uint32_t got = file->Read(Buffer.data(), CopyBufferSize);
        if (got == 0)
            break;
        crc.Add(Buffer.data(), got);
        Size += got;
        if (text)
            text->append(Buffer.data(), got);
    }
    if (Checksums.Matches(name, crc.Value))
        return rcOk;
    FailureText = LangText(msgFileIsDamaged, {name});
    return rcDamaged;
}

uint8_t TVerifyRun::Run(bool repair) {
    Checksums.Load(Dir, Stem);
    const uint8_t r = CheckSet();
    if (r == rcOk)
        return CheckParityFile();
    if (r != rcSourceNotFound && r != rcDamaged && r != rcInvalidHeader)
        return r;
    TParityRepair parity(Checksums);
    // A file that cannot be read takes the rebuild with it.
    uint8_t result = r;
    const bool rebuilt = AttemptSucceeds([&] {
        if (parity.Load(Dir, Stem) && parity.Rebuild(Dir))
            return true;
        // Without a parity file the recovery files may rebuild it.
        if (parity.Failure() == TParityFailure::Absent && RepairFromRecovery(r, repair) == rcRepairable) {
            result = rcRepairable;
            return false;
        }
        // The file's own text first, then why the parity file is no help.
        if (const std::string note = parity.FailureNote(LastChecked); !note.empty())
            FailureText += "\r\n" + note;
        return false;
    });
    if (!rebuilt)
        return result;
    if (!repair)
        return rcRepairable;
    WriteBack(parity);
    Repaired = true;
    return rcRepairable;
}

uint8_t TVerifyRun::RepairFromRecovery(uint8_t fault, bool repair) {
    TRecoveryRepair recovery;
    if (!recovery.Load(Dir, Stem))
        return fault;
    TFolderAccess files(Dir);
    recovery.Check(files);
    // The empty last data part of a set whose total fills its parts has no
    // slice to rebuild it from; the sfv file's empty checksum and the
    // layout that the next run checks say all there is of it.
    std::vector<std::string> empty;
    for (const std::string& name : Checksums.Names()) {
        bool header = false;
        TEntryInfo info;
        const bool there = OsQueryPath(AddTrailingBackslash(Dir, NativePathStyle) + name, info);
        if (PartNumberOf(name, Stem, header) > 0 && !header && Checksums.ListsEmpty(name) &&
            (!there || (info.Kind == TEntryKind::File && info.Size > 0)))
            empty.push_back(name);
    }
    const std::string setName = Stem.substr(0, Stem.size() - 1);
    const bool onlyEmpty = recovery.Lost().empty() && !empty.empty() && recovery.SlicesLost() == 0;
    if (!recovery.CanRebuild() && !onlyEmpty) {
        FailureText += recovery.TooFewNote(Stem);
        return fault;
    }
    std::vector<std::string> lost = recovery.Lost();
    lost.insert(lost.end(), empty.begin(), empty.end());
    FailureText = LangText(msgRecoveryCanRebuild, {FormatZeroPadded(0, static_cast<int64_t>(lost.size())),
                                                    setName + ".par2"});
    for (size_t i = 0; i < lost.size(); ++i)
        FailureText += (i == 0 ? " " : ", ") + lost[i];
    if (!repair)
        return rcRepairable;
    for (const std::string& name : empty) {
        const std::string path = AddTrailingBackslash(Dir, NativePathStyle) + name;
        const std::string keptCopy = PathKind(path) == pkFile ? KeepDamagedCopy(path) : std::string();
        TFileStreamLite::CreateForWriting(path)->Close();
        Job.Tell(keptCopy.empty() ? LangText(msgRebuiltFromRecovery, {name, setName + ".par2"})
                                  : LangText(msgRebuiltFromRecoveryKept, {name, setName + ".par2", keptCopy}));
    }
    Repaired = true;
    if (recovery.Lost().empty())
        return rcRepairable;
    // Nothing that was there is lost: a damaged file is first kept beside
    // the set, and its good slices are read from that copy.
    std::vector<std::string> kept(recovery.Lost().size());
    for (size_t i = 0; i < kept.size(); ++i) {
        const std::string path = AddTrailingBackslash(Dir, NativePathStyle) + recovery.Lost()[i];
        if (PathKind(path) == pkFile) {
            kept[i] = KeepDamagedCopy(path);
            files.ReadFrom(recovery.Lost()[i], AddTrailingBackslash(Dir, NativePathStyle) + kept[i]);
        }
    }
    if (!recovery.Rebuild(files))
        return fault;
    for (const std::string& name : Checksums.Names()) {
        uint32_t crc = 0;
        if (recovery.FileCrc(name, crc))
            KnownCrcs.emplace_back(UpperText(name), crc);
    }
    for (size_t i = 0; i < kept.size(); ++i) {
        const std::string& name = recovery.Lost()[i];
        Job.Tell(kept[i].empty() ? LangText(msgRebuiltFromRecovery, {name, setName + ".par2"})
                                 : LangText(msgRebuiltFromRecoveryKept, {name, setName + ".par2", kept[i]}));
    }
    Repaired = true;
    return rcRepairable;
}

uint8_t TVerifyRun::CheckParityFile() {
    const std::string name = Stem + "par";
    // A set made without one, or before parity files, has nothing to check.
    if (!Checksums.Lists(name))
        return rcOk;
    if (PathKind(AddTrailingBackslash(Dir, NativePathStyle) + name) != pkFile) {
        FailureText = LangText(msgParityFileMissing, {name});
        return rcSourceNotFound;
    }
    TParityRepair parity(Checksums);
    if (parity.Load(Dir, Stem))
        return rcOk;
    FailureText = LangText(msgParityFileDamaged, {name});
    return rcDamaged;
}

// Each file of the rebuilt volume that is missing or differs is written; a
// damaged one is first kept beside it (DamagedCopy.h), so that nothing that
// was there is lost. Every file written is reported with the name of the
// copy kept.
void TVerifyRun::WriteBack(const TParityRepair& parity) {
    const int32_t volume = parity.RebuiltVolume();
    for (const TParityFile& part : parity.Layout().Volumes[static_cast<size_t>(volume)].Files) {
        const char* data = nullptr;
        int64_t size = 0;
        if (!parity.Rebuilt(part.Name, data, size))
            continue;
        const std::string path = AddTrailingBackslash(Dir, NativePathStyle) + part.Name;
        std::string kept;
        if (PathKind(path) == pkFile) {
            if (Check(part.Name) == rcOk && Size == size)
                continue;
            kept = KeepDamagedCopy(path);
        }
        const auto file = TFileStreamLite::CreateForWriting(path);
        file->WriteAll(data, static_cast<size_t>(size), WriteErrorText);
        file->Close();
        Job.Tell(kept.empty() ? LangText(msgRebuiltFromParity, {part.Name, parity.FileName()})
                              : LangText(msgRebuiltDamagedKept, {part.Name, parity.FileName(), kept}));
    }
}

uint8_t TVerifyRun::CheckSet() {
    std::string header;
    for (int32_t n = 1;; ++n) {
        if (n > MaxParts)
            return HeaderInvalid();
        if (const uint8_t r = Check(PartFileName(Stem, true, n), &header); r != rcOk)
            return r;
        if (TFileInfos::IsCompleteHeader(header))
            break;
    }
    if (!List.ParseHeader(header))
        return HeaderInvalid();
    // What the join would refuse to restore is no good set either.
    if (const TFileInfo* unsafe = FirstUnsafeEntry(List, Job.ScanPolicy.Rules)) {
        FailureText = LangText(msgHeaderEntryUnsafe, {PartFileName(Stem, true, 1), ShownEntryName(unsafe->Name)});
        return rcInvalidHeader;
    }

    // The data parts hold the listed files back to back, shared out as the
    // split shares them (SetLayout.h), which is what the join holds them to.
    TLayoutWalk layout(List.TotalSize());
    for (int32_t n = 1; !layout.Done(); ++n) {
        if (n > MaxParts)
            return LengthWrong();
        const std::string name = PartFileName(Stem, false, n);
        if (const uint8_t r = Check(name); r != rcOk)
            return r;
        if (layout.Add(Size) != TPartFit::Right) {
            FailureText = PartFitText(name, layout.Place());
            return rcDamaged;
        }
    }

    // Whatever else the sfv file lists of this set, such as an empty last
    // part, is there and intact too. Names that are no file of the set are
    // not followed.
    for (const std::string& name : Checksums.Names()) {
        bool isHeader = false;
        if (Checked.count(UpperText(name)) != 0 || PartNumberOf(name, Stem, isHeader) == 0)
            continue;
        if (const uint8_t r = Check(name); r != rcOk)
            return r;
    }
    return rcOk;
}

}  // namespace

uint8_t TFendrix::VerifyJob() {
    // The join's check of the file that names the set.
    if (const uint8_t r = CheckSourcePath(false); r != rcOk)
        return r;
    try {
        TVerifyRun run(Params->SourcePath, *this);
        const uint8_t r = run.Run(Params->Repair);
        if (!run.Repaired)
            return r;
        // What the repair wrote is checked as a later verify run would; the
        // first run's findings are mended.
        FileList->Clear();
        FailureText.clear();
        TVerifyRun again(Params->SourcePath, *this);
        again.KnownCrcs = std::move(run.KnownCrcs);
        return again.Run(false);
    } catch (const EExceptionLite& e) {
        FailureText = e.MessageText;
        FailurePath = e.Path;
        return rcFileError;
    } catch (...) {
        return UnknownFailure();
    }
}
