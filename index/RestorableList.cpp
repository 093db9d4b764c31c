#include "RestorableList.h"

#include "EntryNames.h"

#include "foundation/UnitLanguage.h"

#include <set>

const TFileInfo* FirstUnsafeEntry(const TFileInfos& list, TNameRules rules) {
    std::set<std::string> paths;
    const bool posix = rules == TNameRules::Posix;
    for (int32_t i = 0; i < list.Count(); ++i) {
        const TFileInfo* entry = list.GetItem(i);
        if (!(posix ? IsSafePosixEntryName(entry->Name) : IsSafeEntryName(entry->Name)))
            return entry;
        if (entry->Kind == fkFile && entry->Size < 0)
            return entry;
        if (!paths.insert(posix ? entry->Name : UpperText(entry->Name)).second)
            return entry;
    }
    return nullptr;
}

std::string ShownEntryName(const std::string& name) {
    std::string shown = name;
    for (char& c : shown) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F)
            c = '?';
    }
    return shown;
}
