// The verify run: every header file and data part of a set is read once and
// checked, against the set's sfv file where there is one, and the data parts
// against the length that the header records. Nothing is written, unless a
// repair is asked for and the set's parity file rebuilds what was lost.
#include "ParityRepair.h"
#include "SetChecksums.h"
#include "UnitFendrix.h"

#include "foundation/UnitFileStream.h"
#include "foundation/UnitImport.h"
#include "foundation/platform/FileSystem.h"
#include "foundation/UnitLanguage.h"
#include "foundation/checksum/Crc32.h"
#include "index/PartNames.h"

#include <new>
#include <set>
#include <vector>

namespace {

class TVerifyRun {
public:
    TVerifyRun(const std::string& anyFile, TFileInfos& list, std::string& failureText)
        : Dir(ParentPath(anyFile, NativePathStyle)), List(list), FailureText(failureText), Buffer(CopyBufferSize) {
        const std::string name = FileNamePart(anyFile, NativePathStyle);
        Stem = name.substr(0, LastDelimiterPos(".", name));
    }

    // With repair, a volume that the parity file rebuilds is written back
    // and Repaired is set; the set then wants a fresh run.
    uint8_t Run(bool repair);
    bool Repaired = false;

private:
    uint8_t CheckSet();
    // The parity file that the sfv file lists is there and intact.
    uint8_t CheckParityFile();
    void WriteBack(const TParityRepair& parity);

    // rcOk, or why the file fails: missing or damaged. Its bytes are added
    // to text when asked for, and its size is kept in Size.
    uint8_t Check(const std::string& name, std::string* text = nullptr);
    uint8_t LengthWrong() {
        FailureText = LangText(msgSetLengthWrong, {Stem.substr(0, Stem.size() - 1)});
        return rcDamaged;
    }

    std::string Dir;
    std::string Stem;
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
    if (PathKind(path) != pkFile) {
        FailureText = LangText(13, {name});
        return rcSourceNotFound;
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
    try {
        if (!parity.Load(Dir, Stem) || !parity.Rebuild(Dir))
            return r;
    } catch (const EExceptionLite&) {
        // A file that cannot be read takes the rebuild with it.
        return r;
    } catch (const std::bad_alloc&) {
        return r;
    }
    if (!repair)
        return rcRepairable;
    WriteBack(parity);
    Repaired = true;
    return rcRepairable;
}

uint8_t TVerifyRun::CheckParityFile() {
    const std::string name = Stem + "par";
    // A set made without one, or before parity files, has nothing to check.
    if (!Checksums.Lists(name))
        return rcOk;
    if (PathKind(AddTrailingBackslash(Dir, NativePathStyle) + name) != pkFile)
        return rcSourceNotFound;
    TParityRepair parity(Checksums);
    return parity.Load(Dir, Stem) ? rcOk : rcDamaged;
}

// Each file of the rebuilt volume that is missing or differs is written; a
// damaged one is first kept beside it as NAME.damaged, so that nothing that
// was there is lost.
void TVerifyRun::WriteBack(const TParityRepair& parity) {
    const int32_t volume = parity.RebuiltVolume();
    for (const TParityFile& part : parity.Layout().Volumes[static_cast<size_t>(volume)].Files) {
        const char* data = nullptr;
        int64_t size = 0;
        if (!parity.Rebuilt(part.Name, data, size))
            continue;
        const std::string path = AddTrailingBackslash(Dir, NativePathStyle) + part.Name;
        if (PathKind(path) == pkFile) {
            if (Check(part.Name) == rcOk && Size == size)
                continue;
            TOsError error;
            if (!OsCopyFileNoReplace(path, path + ".damaged", error))
                RaiseOsError(error);
        }
        const auto file = TFileStreamLite::CreateForWriting(path);
        while (size > 0) {
            const uint32_t chunk = static_cast<uint32_t>(Min64(size, 1 << 30));
            if (file->Write(data, chunk) != chunk)
                throw EExceptionLite(WriteErrorText);
            data += chunk;
            size -= chunk;
        }
    }
}

uint8_t TVerifyRun::CheckSet() {
    std::string header;
    for (int32_t n = 1;; ++n) {
        if (n > MaxParts)
            return rcInvalidHeader;
        if (const uint8_t r = Check(PartFileName(Stem, true, n), &header); r != rcOk)
            return r;
        if (TFileInfos::IsCompleteHeader(header))
            break;
    }
    if (!List.ParseHeader(header))
        return rcInvalidHeader;

    // The data parts hold the listed files back to back: together exactly
    // as long as the header says. Every part but the last has the size of
    // the first, so a part missing beyond the count that the header needs
    // means that one before it came up short.
    const int64_t total = List.TotalSize();
    int64_t sum = 0;
    int64_t needed = MaxParts;
    for (int32_t n = 1; n == 1 || sum < total; ++n) {
        if (n > MaxParts)
            return LengthWrong();
        const uint8_t r = Check(PartFileName(Stem, false, n));
        if (r == rcSourceNotFound && n > needed)
            return LengthWrong();
        if (r != rcOk)
            return r;
        if (n == 1 && Size > 0)
            needed = total / Size + (total % Size != 0 ? 1 : 0);
        sum += Size;
    }
    if (sum != total)
        return LengthWrong();

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
    Params->SourcePath = StripTrailingBackslashes(ExpandPath(Params->SourcePath), NativePathStyle);
    switch (PathKind(Params->SourcePath)) {
    case pkNotFound: return rcSourceNotFound;
    case pkDirectory:
    case pkRoot: return rcSourceIsDirectory;
    default: break;
    }
    try {
        TVerifyRun run(Params->SourcePath, *FileList, FailureText);
        const uint8_t r = run.Run(Params->Repair);
        if (!run.Repaired)
            return r;
        // What the repair wrote is checked as a later verify run would.
        FileList->Clear();
        TVerifyRun again(Params->SourcePath, *FileList, FailureText);
        return again.Run(false);
    } catch (const EExceptionLite& e) {
        FailureText = e.MessageText;
        return rcFileError;
    } catch (...) {
        return rcUnknownError;
    }
}
