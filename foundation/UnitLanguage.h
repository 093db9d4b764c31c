// The program's own texts in English and Italian, and the two text helpers
// that every message needs.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

constexpr int MessageCount = 26;

// English messages 0-25, then the Italian ones at 26-51, stored in code page
// 1252; LangText hands them out in the process code page.
extern const char* const MessageTable[2 * MessageCount];

// The first messages by name.
constexpr int msgSplitButton = 0;
constexpr int msgJoinButton = 1;
constexpr int msgCloseButton = 2;
constexpr int msgSourceLabel = 3;
constexpr int msgOutputLabel = 4;
constexpr int msgOnlyForSplitting = 5;
constexpr int msgSizeLabel = 6;
constexpr int msgCopyProgramLabel = 7;
constexpr int msgCreateBatchLabel = 8;
constexpr int msgTooManyParts = 9;
constexpr int msgConfirmPartCount = 10;
constexpr int msgSplitReport = 11;
constexpr int msgConfirmOverwrite = 12;
constexpr int msgFileMissing = 13;
constexpr int msgInvalidSize = 14;
constexpr int msgDisketteNote = 15;
constexpr int msgDirectoryNotAllowed = 16;
constexpr int msgDirectoryExpected = 17;
constexpr int msgPathNotFound = 18;
constexpr int msgRemovableDisk = 19;
constexpr int msgInsertNextDisk = 20;
constexpr int msgConfirmCancel = 21;
constexpr int msgEscInterrupts = 22;
constexpr int msgConfirmJoin = 23;
constexpr int msgBatchOnlyForFiles = 24;
constexpr int msgInvalidHeaderFile = 25;

// Messages added since, numbered on from MessageCount, English first and
// then Italian at AddedMessageCount on.
constexpr int msgSourceInTheWay = MessageCount;
constexpr int msgPartInTheWay = MessageCount + 1;
constexpr int msgNameNotStorable = MessageCount + 2;
constexpr int msgPartDamaged = MessageCount + 3;
constexpr int msgNameRefusedByJoin = MessageCount + 4;
constexpr int msgNamesDifferInCase = MessageCount + 5;
constexpr int msgNameNotRepresentable = MessageCount + 6;
constexpr int msgBatchNameNotOem = MessageCount + 7;
// The native program's texts and the notices of its scan.
constexpr int msgNameNotUtf8 = MessageCount + 8;
constexpr int msgNameUnsafeEverywhere = MessageCount + 9;
constexpr int msgWindowsJoinRefusesName = MessageCount + 10;
constexpr int msgNamesDifferInCaseWarning = MessageCount + 11;
constexpr int msgNotAFileLeftOut = MessageCount + 12;
constexpr int msgFileIsDamaged = MessageCount + 13;
constexpr int msgNoProgramToCopy = MessageCount + 14;
constexpr int msgUnknownArgument = MessageCount + 15;
constexpr int msgNativeHelp = MessageCount + 16;
constexpr int msgProgressLine = MessageCount + 17;
constexpr int msgPathUnusable = MessageCount + 18;
constexpr int msgSetLengthWrong = MessageCount + 19;
// The split's report when the set has a parity file.
constexpr int msgSetSurvivesLoss = MessageCount + 20;
// The join's offer to rebuild a part that no copy was found of.
constexpr int msgRebuildFromParity = MessageCount + 21;
// A data part that does not fit the set's layout (engine/SetLayout.h): one
// that the set goes on after, the one that holds the set's end, an empty
// part 001.
constexpr int msgPartLengthWrong = MessageCount + 22;
constexpr int msgEndPartLengthWrong = MessageCount + 23;
constexpr int msgFirstPartEmpty = MessageCount + 24;
// The window's second line under a damaged part's text.
constexpr int msgChooseAnotherCopy = MessageCount + 25;
constexpr int msgHeaderInvalid = MessageCount + 26;
constexpr int msgHeaderEntryUnsafe = MessageCount + 27;
// The parity file of a set that is whole but for it.
constexpr int msgParityFileMissing = MessageCount + 28;
constexpr int msgParityFileDamaged = MessageCount + 29;
// Why the parity file cannot rebuild a lost part: after the part's own text.
constexpr int msgParityDamagedNoRebuild = MessageCount + 30;
constexpr int msgParityMissingNoRebuild = MessageCount + 31;
constexpr int msgParityBeyondRepair = MessageCount + 32;
// What a repair wrote into the set.
constexpr int msgRebuiltFromParity = MessageCount + 33;
constexpr int msgRebuiltDamagedKept = MessageCount + 34;
constexpr int msgOutOfMemory = MessageCount + 35;
// The native command line's usage errors; a usage line and the hint follow.
constexpr int msgMissingOperand = MessageCount + 36;
constexpr int msgExtraOperand = MessageCount + 37;
constexpr int msgOptionsExclusive = MessageCount + 38;
constexpr int msgStreamNeedsName = MessageCount + 39;
constexpr int msgStreamNameInvalid = MessageCount + 40;
constexpr int msgPartsCountInvalid = MessageCount + 41;
constexpr int msgUsageHint = MessageCount + 42;
// A split of standard input that part 1000 would have to go on.
constexpr int msgStreamTooLong = MessageCount + 43;
// A join to standard output of a set that is not one file.
constexpr int msgSetNotOneFile = MessageCount + 44;
// The status line while the total is not known (standard input).
constexpr int msgProgressBytes = MessageCount + 45;
// The last line of a listing, and its two answers.
constexpr int msgListSummary = MessageCount + 46;
constexpr int msgPresent = MessageCount + 47;
constexpr int msgAbsent = MessageCount + 48;
constexpr int msgStandardOutputFailed = MessageCount + 49;
// A file of the set that recovery data were being computed from came up
// short; the report of a split with recovery files; a bad /RECOVERY count.
constexpr int msgFileShrank = MessageCount + 50;
constexpr int msgRecoverySurvivesLoss = MessageCount + 51;
constexpr int msgRecoveryCountInvalid = MessageCount + 52;
// What a verify run found that the recovery files can mend, or why not;
// the join's offer to rebuild from them.
constexpr int msgRecoveryCanRebuild = MessageCount + 53;
constexpr int msgRecoveryTooFew = MessageCount + 54;
constexpr int msgRebuildFromRecovery = MessageCount + 55;
constexpr int msgRebuiltFromRecovery = MessageCount + 56;
constexpr int msgRebuiltFromRecoveryKept = MessageCount + 57;
// The join's request for the recovery files once the other parts are in.
constexpr int msgInsertRecoveryDisk = MessageCount + 58;
constexpr int AddedMessageCount = 59;
extern const char* const AddedMessageTable[2 * AddedMessageCount];

// Upper-cased language of the user's locale, at most two characters; "IT"
// chooses the Italian catalogue.
extern std::string LanguageCode;

// Message n in the current language with its '#' placeholders filled from
// left to right; missing arguments leave their '#', surplus ones are ignored.
std::string LangText(int n, const std::vector<std::string>& args = {});

// The first two letters of the user locale's abbreviated language name.
std::string LocaleLanguageCode();
// Fixes LanguageCode from the locale; run once before anything is shown.
void InitLanguage();

// Decimal text of value in a field of at least width characters, zero-filled
// on the left (a minus sign stays where the field puts it).
std::string FormatZeroPadded(int32_t width, int64_t value);
// An upper-case copy by the system's ANSI rules; the argument is not changed.
std::string UpperText(const std::string& text);
