#include "UnitLanguage.h"

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
    "The parity file \"#\" lets the set survive the loss of any one volume (one disk): a join rebuilds it "
    "from the others.",
    "The file \"#\" can be rebuilt from the other parts of the set and its parity file.\r\nDo you want to "
    "rebuild it?",

    "Impossibile sovrascrivere un file che si sta dividendo: \"#\"",
    "Impossibile sovrascrivere una parte dell'insieme che si sta ricostruendo: \"#\"",
    "\"#\" non pu\xF2 essere memorizzato in un insieme di parti: il suo nome contiene una barra rovesciata.",
    "Il file \"#\" \xE8 danneggiato: non corrisponde al checksum registrato per l'insieme di parti.\r\nPer "
    "favore scegli un'altra copia del file.",
    "\"#\" non pu\xF2 essere memorizzato in un insieme di parti: la ricostruzione rifiuterebbe il suo nome.",
    "\"#\" e \"#\" differiscono solo per maiuscole e minuscole: la ricostruzione li scriverebbe entrambi in un "
    "solo file.",
    "Il file di parit\xE0 \"#\" permette all'insieme di parti di sopravvivere alla perdita di un volume "
    "qualsiasi (un disco): la ricostruzione lo ricrea dagli altri.",
    "Il file \"#\" pu\xF2 essere ricreato dalle altre parti dell'insieme e dal suo file di parit\xE0.\r\n"
    "Vuoi ricrearlo?",
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
    std::string result = MessageText(n);
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
