#include "foundation/UnitLanguage.h"
#include "foundation/platform/NativeHelpText.h"
#include "foundation/platform/TextServices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// The texts as the user must read them; the Italian accented letters are
// the single code page 1252 bytes. They are held here, not read back from
// the catalogue, because each is a promise: users, their scripts and the
// translation read them exactly as they stand, typos included, so a change
// to one is a change that this test must be changed for too.
const char* const English[MessageCount] = {
    "Split",
    "Join",
    "Close",
    "File or directory to split, partfile to join",
    "Output directory",
    "Only for splitting",
    "Size",
    "Copy Fendrix to the output directory",
    "Create batchfile for joining",
    "You cannot create more than 999 parts!",
    "There are # parts to create. # Do you want to continue?",
    "Fendrix has succesfully created # partfile(s) and # headerfile(s). The last partfile and the first headerfile fit on the same disk.",
    "File \"#\" already exists. Always overwrite existing files?",
    "File \"#\" missed!",
    "Invalid size!",
    "Note: Sometimes preformatted floppy disks have damaged sectors, so please make sure, you can read back the copied files from the disks!",
    "Directories not allowed here! For joining, please select one of the partfiles instead.",
    "Directory expected!",
    "File or Directory not found!",
    "Fendrix cannot write directly to removable disks (diskettes/CD)!",
    "The file \"#\" is required.\r\nPlease insert the next diskette and press OK. You can also press OK and browse for the file yourself.",
    "Do you really want to cancel?",
    "You can press the <ESC> key to interrupt the job.",
    "The parts will be rejoined. # Do you want to continue?",
    "Batchfiles can only join splitted files, for splitting folders no batchfile will be created.",
    "Invalid headerfile!",
};

const char* const Italian[MessageCount] = {
    "Dividi",
    "Unisci",
    "Chiudi",
    "File o Directory da dividere, parte da ricostruire",
    "Directory di destinazione",
    "Solo per la divisione",
    "Dimensione",
    "Copia Fendrix nella directory di destinazione",
    "Crea il batchfile (.bat) per la ricostruzione",
    "Non puoi creare pi\xF9 di 999 parti!",
    "Saranno create # parti. # Desideri continuare?",
    "Fendrix ha creato con successo # parti e # file(s) di header. Salva l'ultima parte e il primo file di header sullo stesso disco.",
    "Il file \"#\" esiste gi\xE0. Sovrascrivo comunque?",
    "Il file \"#\" \xE8 mancante!",
    "Dimensione invalida!",
    "Nota: Talvolta i floppy disks pre-formattati hanno dei settori danneggiati, per favore accertati che i files possano essere letti/copiati senza problemi!",
    "Non sono ammesse directories! Per la ricostruzione, per favore seleziona invece una delle parti divise.",
    "Directory attesa!",
    "File o Directory non trovata!",
    "Fendrix non pu\xF2 scrivere direttamente su dischi removibili (disketti/CD/Penne USB)!",
    "Il file \"#\" \xE8 richiesto.\r\nPer favore inserisci il prossimo dischetto e premi OK. Puoi anche premere OK e ricercare il file richiesto.",
    "Sei sicuro di volerlo cancellare?",
    "Puoi premere il tasto <ESC> per interrompere il processo.",
    "Le parti saranno ricostruite. # Desideri continuare?",
    "Il batchfile pu\xF2 solo riunire i files divisi, per la suddizisione di una directory o cartelle non sar\xE0 creato nessun batchfile.",
    "File header invalido!",
};

// Every test leaves the language as it found it.
class Catalogue : public ::testing::Test {
protected:
    void SetUp() override { Saved = LanguageCode; }
    void TearDown() override { LanguageCode = Saved; }
    std::string Saved;
};

TEST_F(Catalogue, HoldsEveryMessageExactlyInBothLanguages) {
    for (int n = 0; n < MessageCount; ++n) {
        SCOPED_TRACE("message " + std::to_string(n));
        EXPECT_EQ(std::string(English[n]), MessageTable[n]);
        EXPECT_EQ(std::string(Italian[n]), MessageTable[n + MessageCount]);
        LanguageCode = "EN";
        EXPECT_EQ(std::string(English[n]), LangText(n));
        // The stored bytes are code page 1252; the user reads them in the
        // process code page.
        LanguageCode = "IT";
        EXPECT_EQ(OsTextFromCp1252(Italian[n]), LangText(n));
    }
}

// Every text added since the first catalogue is there in both languages, a
// translation and not a copy, with the same places for its arguments.
TEST_F(Catalogue, EveryAddedTextHasAnItalianOneWithTheSameArguments) {
    for (int n = 0; n < AddedMessageCount; ++n) {
        SCOPED_TRACE("added message " + std::to_string(n));
        // The Windows program leaves out the help of a command line it
        // does not have.
        if (MessageCount + n == msgNativeHelp && NativeHelpEnglish[0] == '\0' && NativeHelpItalian[0] == '\0')
            continue;
        const std::string english = AddedMessageTable[n];
        const std::string italian = AddedMessageTable[n + AddedMessageCount];
        EXPECT_FALSE(english.empty());
        EXPECT_FALSE(italian.empty());
        EXPECT_NE(english, italian);
        EXPECT_EQ(std::count(english.begin(), english.end(), '#'), std::count(italian.begin(), italian.end(), '#'))
            << english << "\n" << italian;
    }
}

TEST_F(Catalogue, OnlyTheExactCodeITChoosesItalian) {
    const struct {
        std::string Code;
        const char* Message0;
    } rows[] = {
        {"IT", "Dividi"}, {"EN", "Split"}, {"DE", "Split"}, {"", "Split"},
        {"it", "Split"},  {"I", "Split"},  {"ITA", "Split"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE("language code \"" + row.Code + "\"");
        LanguageCode = row.Code;
        EXPECT_EQ(row.Message0, LangText(msgSplitButton));
    }
}

TEST_F(Catalogue, FillsPlaceholdersFromLeftToRight) {
    const struct {
        const char* Language;
        int Message;
        std::vector<std::string> Args;
        std::string Expected;
    } rows[] = {
        {"EN", 12, {"C:\\out\\big.001"}, "File \"C:\\out\\big.001\" already exists. Always overwrite existing files?"},
        {"IT", 12, {"C:\\out\\big.001"}, "Il file \"C:\\out\\big.001\" esiste gi\xE0. Sovrascrivo comunque?"},
        {"EN", 12, {}, "File \"#\" already exists. Always overwrite existing files?"},
        {"EN", 21, {"surplus"}, "Do you really want to cancel?"},
        {"EN", 10, {"5", "You can press the <ESC> key to interrupt the job."},
         "There are 5 parts to create. You can press the <ESC> key to interrupt the job. Do you want to continue?"},
        {"IT", 10, {"5", "Puoi premere il tasto <ESC> per interrompere il processo."},
         "Saranno create 5 parti. Puoi premere il tasto <ESC> per interrompere il processo. Desideri continuare?"},
        {"EN", 23, {"You can press the <ESC> key to interrupt the job."},
         "The parts will be rejoined. You can press the <ESC> key to interrupt the job. Do you want to continue?"},
        {"EN", 10, {"5"}, "There are 5 parts to create. # Do you want to continue?"},
        {"EN", 10, {"5", "x", "surplus"}, "There are 5 parts to create. x Do you want to continue?"},
        {"EN", 11, {"", ""},
         "Fendrix has succesfully created  partfile(s) and  headerfile(s). The last partfile and the first headerfile "
         "fit on the same disk."},
        {"EN", 20, {"big.002"},
         "The file \"big.002\" is required.\r\nPlease insert the next diskette and press OK. You can also press OK and "
         "browse for the file yourself."},
        {"IT", 13, {"big.002"}, "Il file \"big.002\" \xE8 mancante!"},
        // A '#' that an argument brings along is text, not a placeholder: a
        // file name may hold one.
        {"EN", 10, {"#1", "#2"}, "There are #1 parts to create. #2 Do you want to continue?"},
        {"EN", 12, {"a#b"}, "File \"a#b\" already exists. Always overwrite existing files?"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.Language) + " message " + std::to_string(row.Message) + " with " +
                     std::to_string(row.Args.size()) + " arguments");
        LanguageCode = row.Language;
        EXPECT_EQ(OsTextFromCp1252(row.Expected), LangText(row.Message, row.Args));
    }
}

TEST_F(Catalogue, Message10TakesMessage22InTheSameLanguage) {
    LanguageCode = "EN";
    EXPECT_EQ("There are 12 parts to create. You can press the <ESC> key to interrupt the job. Do you want to continue?",
              LangText(msgConfirmPartCount, {FormatZeroPadded(0, 12), LangText(msgEscInterrupts)}));
    LanguageCode = "IT";
    EXPECT_EQ("Saranno create 12 parti. Puoi premere il tasto <ESC> per interrompere il processo. Desideri continuare?",
              LangText(msgConfirmPartCount, {FormatZeroPadded(0, 12), LangText(msgEscInterrupts)}));
}

}  // namespace
