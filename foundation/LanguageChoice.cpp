// The language comes from the user's locale, never from a setting of ours.
#include "UnitLanguage.h"

#include "platform/Process.h"

std::string LocaleLanguageCode() {
    const std::string name = OsGetLocaleLanguageName();
    return name.substr(0, 2);
}

void InitLanguage() {
    LanguageCode = UpperText(LocaleLanguageCode());
}
