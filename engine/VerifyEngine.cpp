// The verify run: every header file and data part of a set is read once and
// checked, against the set's sfv file where there is one, and the data parts
// against the length that the header records. Nothing is written.
#include "SetChecksums.h"
#include "UnitFendrix.h"

#include "foundation/UnitFileStream.h"
#include "foundation/UnitLanguage.h"
#include "foundation/checksum/Crc32.h"
#include "index/PartNames.h"

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

    uint8_t Run();

private:
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
    std::vector<char> Buffer;
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

uint8_t TVerifyRun::Run() {
    Checksums.Load(Dir, Stem);
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
        return run.Run();
    } catch (const EExceptionLite& e) {
        FailureText = e.MessageText;
        return rcFileError;
    } catch (...) {
        return rcUnknownError;
    }
}
