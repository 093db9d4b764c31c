#include "UnitLanguage.h"

#include "platform/NativeHelpText.h"
#include "platform/TextServices.h"

std::string LanguageCode;

// Accented letters are code page 1252 bytes; a literal is closed after each
// escape so that a following letter cannot extend the hexadecimal number.
const char* const MessageTable[2 * MessageCount] = {
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
    "Fendrix has succesfully created # partfile(s) and # headerfile(s). The last partfile and the first "
    "headerfile fit on the same disk.",
    "File \"#\" already exists. Always overwrite existing files?",
    "File \"#\" missed!",
    "Invalid size!",
    "Note: Sometimes preformatted floppy disks have damaged sectors, so please make sure, you can read "
    "back the copied files from the disks!",
    "Directories not allowed here! For joining, please select one of the partfiles instead.",
    "Directory expected!",
    "File or Directory not found!",
    "Fendrix cannot write directly to removable disks (diskettes/CD)!",
    "The file \"#\" is required.\r\nPlease insert the next diskette and press OK. You can also press OK and "
    "browse for the file yourself.",
    "Do you really want to cancel?",
    "You can press the <ESC> key to interrupt the job.",
    "The parts will be rejoined. # Do you want to continue?",
    "Batchfiles can only join splitted files, for splitting folders no batchfile will be created.",
    "Invalid headerfile!",

    "Dividi",
    "Unisci",
    "Chiudi",
    "File o Directory da dividere, parte da ricostruire",
    "Directory di destinazione",
    "Solo per la divisione",
    "Dimensione",
    "Copia Fendrix nella directory di destinazione",
    "Crea il batchfile (.bat) per la ricostruzione",
    "Non puoi creare pi\xF9"
    " di 999 parti!",
    "Saranno create # parti. # Desideri continuare?",
    "Fendrix ha creato con successo # parti e # file(s) di header. Salva l'ultima parte e il primo file di "
    "header sullo stesso disco.",
    "Il file \"#\" esiste gi\xE0"
    ". Sovrascrivo comunque?",
    "Il file \"#\" \xE8"
    " mancante!",
    "Dimensione invalida!",
    "Nota: Talvolta i floppy disks pre-formattati hanno dei settori danneggiati, per favore accertati che i "
    "files possano essere letti/copiati senza problemi!",
    "Non sono ammesse directories! Per la ricostruzione, per favore seleziona invece una delle parti divise.",
    "Directory attesa!",
    "File o Directory non trovata!",
    "Fendrix non pu\xF2"
    " scrivere direttamente su dischi removibili (disketti/CD/Penne USB)!",
    "Il file \"#\" \xE8"
    " richiesto.\r\nPer favore inserisci il prossimo dischetto e premi OK. Puoi anche premere OK e ricercare "
    "il file richiesto.",
    "Sei sicuro di volerlo cancellare?",
    "Puoi premere il tasto <ESC> per interrompere il processo.",
    "Le parti saranno ricostruite. # Desideri continuare?",
    "Il batchfile pu\xF2"
    " solo riunire i files divisi, per la suddizisione di una directory o cartelle non sar\xE0"
    " creato nessun batchfile.",
    "File header invalido!",
};

const char* const AddedMessageTable[2 * AddedMessageCount] = {
    "Cannot write over a file that is being split: \"#\"",
    "Cannot write over a part of the set being joined: \"#\"",
    "\"#\" cannot be stored in a set: its name holds a backslash.",
    "The file \"#\" is damaged: it does not match the checksum recorded for the set.\r\nPlease choose another "
    "copy of it.",
    "\"#\" cannot be stored in a set: a join would refuse its name.",
    "\"#\" and \"#\" differ only in letter case: a join would write both into one file.",
    "\"#\" cannot be split: the system cannot spell its name for this program.",
    "No batch file was made: the name \"#\" cannot be written in the command prompt's code page. The parts "
    "can be joined with Fendrix.",
    "\"#\" cannot be stored in a set: its name is not valid UTF-8.",
    "\"#\" cannot be stored in a set: its name holds a control character.",
    "Warning: a join on Windows would refuse the name \"#\"; it is stored all the same.",
    "Warning: \"#\" and \"#\" differ only in letter case: a join on Windows would write both into one file.",
    "\"#\" is left out: it is a device, FIFO or socket, not a file.",
    "The file \"#\" is damaged: it does not match the checksum recorded for the set.",
    "Warning: there is no Fendrix.exe beside this program (\"#\"); the set is written without it.",
    "Unknown option or missing argument: \"#\". \"fendrix --help\" lists them.",
    NativeHelpEnglish,
    "# %  # of # bytes  # MB/s",
    "\"#\" cannot be used: the name is not valid UTF-8.",
    "The data parts of \"#\" are not as long as its header says: a part is damaged or missing.",
    "The parity file \"#\" lets the set survive the loss of any one volume (one disk): a join rebuilds it "
    "from the others.",
    "The file \"#\" can be rebuilt from the other parts of the set and its parity file.\r\nDo you want to "
    "rebuild it?",
    "The data part \"#\" holds # bytes, but every data part before the last is as long as part 001 (# bytes): "
    "one of the two is damaged.",
    "The data part \"#\" holds # bytes, but the set's header leaves # bytes for it: it is damaged.",
    "The data part \"#\" is empty, but the set's header records # bytes of data.",
    "Please choose another copy of it.",
    "The header that begins in \"#\" is invalid: it is damaged, or it was not written by Fendrix.",
    "The header that begins in \"#\" is invalid: its entry \"#\" cannot be restored safely.",
    "The parity file \"#\" is missing, though the set's checksum file lists it.",
    "The parity file \"#\" is damaged: it does not match its checksums, or it does not describe this set.",
    "The parity file \"#\" cannot rebuild \"#\": the parity file is damaged.",
    "The parity file \"#\", which could rebuild \"#\", is missing.",
    "The parity file \"#\" cannot rebuild \"#\": another volume of the set is missing or damaged as well.",
    "\"#\" was rebuilt from the parity file \"#\".",
    "\"#\" was rebuilt from the parity file \"#\"; the damaged copy is kept as \"#\".",
    "There was not enough memory to finish the job.",
    "A file operand is missing.",
    "Extra operand \"#\".",
    "The options \"#\" and \"#\" cannot be used together.",
    "Standard input (\"-\" as SOURCE) is split under the name that --name gives, and --name is only for it.",
    "\"#\" cannot name a set: give one file name, without \"/\".",
    "The number of parts must be a whole number from 1 to 999, not \"#\".",
    "\"fendrix --help\" lists the options.",
    "Standard input needs more than 999 parts of # bytes: choose a larger part size with --size.",
    "The set of \"#\" holds a directory tree or more than one file: only a set of one file can be joined to "
    "standard output.",
    "# bytes  # MB/s",
    "# data parts of # bytes and # header files, # bytes in all; sfv file: #; parity file: #; recovery files: #",
    "present",
    "none",
    "Cannot write to standard output: #",
    "\"#\" became shorter while it was being read.",
    "The recovery files \"#\" and \"#\" let the set survive the loss of any # volumes (disks): a PAR2 "
    "tool such as par2 or MultiPar rebuilds them.",
    "The number of volumes that recovery files protect against must be a whole number from 1 to 999.",
    "# files of the set are missing or damaged, and the recovery files \"#\" can rebuild them:",
    "The recovery files \"#\" cannot rebuild the set: they hold # recovery slices, and # more would be needed.",
    "The file \"#\" can be rebuilt from the set's recovery files.\r\nDo you want to rebuild it?",
    "\"#\" was rebuilt from the recovery files \"#\".",
    "\"#\" was rebuilt from the recovery files \"#\"; the damaged copy is kept as \"#\".",
    "Every part that was found is joined. \"#\" and the other missing parts can be rebuilt from the "
    "recovery files: please insert the disk with \"#\".",

    "Impossibile sovrascrivere un file che si sta dividendo: \"#\"",
    "Impossibile sovrascrivere una parte dell'insieme che si sta ricostruendo: \"#\"",
    "\"#\" non pu\xF2 essere memorizzato in un insieme di parti: il suo nome contiene una barra rovesciata.",
    "Il file \"#\" \xE8 danneggiato: non corrisponde al checksum registrato per l'insieme di parti.\r\nPer "
    "favore scegli un'altra copia del file.",
    "\"#\" non pu\xF2 essere memorizzato in un insieme di parti: la ricostruzione rifiuterebbe il suo nome.",
    "\"#\" e \"#\" differiscono solo per maiuscole e minuscole: la ricostruzione li scriverebbe entrambi in un "
    "solo file.",
    "\"#\" non pu\xF2"
    " essere diviso: il sistema non sa scrivere il suo nome per questo programma.",
    "Nessun batchfile creato: il nome \"#\" non si pu\xF2"
    " scrivere nella code page del prompt dei comandi. Le parti si possono riunire con Fendrix.",
    "\"#\" non pu\xF2 essere memorizzato in un insieme di parti: il suo nome non \xE8 UTF-8 valido.",
    "\"#\" non pu\xF2 essere memorizzato in un insieme di parti: il suo nome contiene un carattere di controllo.",
    "Attenzione: una ricostruzione su Windows rifiuterebbe il nome \"#\"; viene memorizzato comunque.",
    "Attenzione: \"#\" e \"#\" differiscono solo per maiuscole e minuscole: una ricostruzione su Windows li "
    "scriverebbe entrambi in un solo file.",
    "\"#\" viene escluso: \xE8 un dispositivo, una FIFO o un socket, non un file.",
    "Il file \"#\" \xE8 danneggiato: non corrisponde al checksum registrato per l'insieme di parti.",
    "Attenzione: non c'\xE8 nessun Fendrix.exe accanto a questo programma (\"#\"); l'insieme viene scritto "
    "senza.",
    "Opzione sconosciuta o argomento mancante: \"#\". \"fendrix --help\" le elenca.",
    NativeHelpItalian,
    "# %  # di # byte  # MB/s",
    "\"#\" non pu\xF2 essere usato: il nome non \xE8 UTF-8 valido.",
    "Le parti di dati di \"#\" non sono lunghe quanto dice il suo header: una parte \xE8 danneggiata o "
    "mancante.",
    "Il file di parit\xE0 \"#\" permette all'insieme di parti di sopravvivere alla perdita di un volume "
    "qualsiasi (un disco): la ricostruzione lo ricrea dagli altri.",
    "Il file \"#\" pu\xF2 essere ricreato dalle altre parti dell'insieme e dal suo file di parit\xE0.\r\n"
    "Vuoi ricrearlo?",
    "La parte di dati \"#\" contiene # byte, ma ogni parte di dati prima dell'ultima \xE8 lunga quanto la parte "
    "001 (# byte): una delle due \xE8 danneggiata.",
    "La parte di dati \"#\" contiene # byte, ma l'header dell'insieme di parti ne lascia # per essa: \xE8 "
    "danneggiata.",
    "La parte di dati \"#\" \xE8 vuota, ma l'header dell'insieme di parti registra # byte di dati.",
    "Per favore scegli un'altra copia del file.",
    "L'header che inizia in \"#\" non \xE8 valido: \xE8 danneggiato, oppure non \xE8 stato scritto da Fendrix.",
    "L'header che inizia in \"#\" non \xE8 valido: la sua voce \"#\" non si pu\xF2 ripristinare in modo sicuro.",
    "Il file di parit\xE0 \"#\" \xE8 mancante, bench\xE9 il file dei checksum dell'insieme lo elenchi.",
    "Il file di parit\xE0 \"#\" \xE8 danneggiato: non corrisponde ai suoi checksum, oppure non descrive questo "
    "insieme di parti.",
    "Il file di parit\xE0 \"#\" non pu\xF2 ricreare \"#\": il file di parit\xE0 \xE8 danneggiato.",
    "Manca il file di parit\xE0 \"#\", che potrebbe ricreare \"#\".",
    "Il file di parit\xE0 \"#\" non pu\xF2 ricreare \"#\": anche un altro volume dell'insieme \xE8 mancante o "
    "danneggiato.",
    "\"#\" \xE8 stato ricreato dal file di parit\xE0 \"#\".",
    "\"#\" \xE8 stato ricreato dal file di parit\xE0 \"#\"; la copia danneggiata \xE8 conservata come \"#\".",
    "La memoria non \xE8 bastata per portare a termine il lavoro.",
    "Manca un file tra gli operandi.",
    "Operando in pi\xF9: \"#\".",
    "Le opzioni \"#\" e \"#\" non si possono usare insieme.",
    "Lo standard input (\"-\" come ORIGINE) viene diviso col nome dato da --name, e --name serve solo a "
    "questo.",
    "\"#\" non pu\xF2 dare il nome a un insieme: indica un solo nome di file, senza \"/\".",
    "Il numero di parti deve essere un numero intero da 1 a 999, non \"#\".",
    "\"fendrix --help\" elenca le opzioni.",
    "Lo standard input richiede pi\xF9 di 999 parti da # byte: scegli una dimensione di parte maggiore con "
    "--size.",
    "L'insieme di \"#\" contiene un albero di directory o pi\xF9 di un file: sullo standard output si pu\xF2 "
    "ricostruire solo un insieme di un solo file.",
    "# byte  # MB/s",
    "# parti di dati da # byte e # file di header, # byte in tutto; file sfv: #; file di parit\xE0: #; file di recupero: #",
    "presente",
    "nessuno",
    "Impossibile scrivere sullo standard output: #",
    "\"#\" si \xE8 accorciato mentre veniva letto.",
    "I file di recupero \"#\" e \"#\" permettono all'insieme di parti di sopravvivere alla perdita di # "
    "volumi qualsiasi (dischi): uno strumento PAR2 come par2 o MultiPar li ricrea.",
    "Il numero di volumi da cui i file di recupero proteggono deve essere un numero intero da 1 a 999.",
    "# file dell'insieme sono mancanti o danneggiati, e i file di recupero \"#\" possono ricrearli:",
    "I file di recupero \"#\" non possono ricreare l'insieme: contengono # blocchi di recupero, e ne "
    "servirebbero altri #.",
    "Il file \"#\" pu\xF2 essere ricreato dai file di recupero dell'insieme.\r\nVuoi ricrearlo?",
    "\"#\" \xE8 stato ricreato dai file di recupero \"#\".",
    "\"#\" \xE8 stato ricreato dai file di recupero \"#\"; la copia danneggiata \xE8 conservata come \"#\".",
    "Tutte le parti trovate sono state riunite. \"#\" e le altre parti mancanti si possono ricreare dai file "
    "di recupero: per favore inserisci il disco con \"#\".",
};

namespace {

const char* MessageText(int n) {
    const bool italian = LanguageCode == "IT";
    if (n < MessageCount)
        return MessageTable[italian ? n + MessageCount : n];
    const int added = n - MessageCount;
    return AddedMessageTable[italian ? added + AddedMessageCount : added];
}

}  // namespace

std::string LangText(int n, const std::vector<std::string>& args) {
    // The arguments are in the process code page already; only the stored
    // text needs converting.
    std::string result = OsTextFromCp1252(MessageText(n));
    size_t searchFrom = 0;
    for (const std::string& arg : args) {
        // An argument may itself hold '#' (a file name can); searching on
        // behind the inserted text keeps it from being taken for a
        // placeholder and from being filled again.
        const size_t hash = result.find('#', searchFrom);
        if (hash == std::string::npos)
            break;
        result.replace(hash, 1, arg);
        searchFrom = hash + arg.size();
    }
    return result;
}

std::string FormatZeroPadded(int32_t width, int64_t value) {
    if (width > 255)
        width = 255;
    const bool negative = value < 0;
    uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    char digits[24];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (negative)
        digits[n++] = '-';
    std::string text;
    if (width > n)
        text.assign(static_cast<size_t>(width - n), '0');
    while (n > 0)
        text += digits[--n];
    return text;
}

std::string UpperText(const std::string& text) {
    std::string copy = text;
    OsCharUpper(copy);
    return copy;
}
