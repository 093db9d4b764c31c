#include "PartNames.h"

#include "PathOps.h"

#include "foundation/UnitLanguage.h"

std::string PartFileName(const std::string& stem, bool header, int32_t number) {
    return stem + (header ? "h" : "") + FormatZeroPadded(3, number);
}

std::string SetStemOf(const std::string& fileName) {
    return fileName.substr(0, LastDelimiterPos(".", fileName));
}

int32_t PartNumberOf(const std::string& fileName, const std::string& stem, bool& header) {
    header = false;
    const std::string name = UpperText(fileName);
    const std::string upperStem = UpperText(stem);
    if (name.size() <= upperStem.size() || name.compare(0, upperStem.size(), upperStem) != 0)
        return 0;
    size_t pos = upperStem.size();
    if (name[pos] == 'H') {
        header = true;
        ++pos;
    }
    const std::string digits = name.substr(pos);
    if (digits.empty() || digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    int32_t number = 0;
    for (char d : digits)
        number = number * 10 + (d - '0');
    // Only the spelling the program writes names a part: 007, not 0007.
    if (number == 0 || FormatZeroPadded(3, number) != digits)
        return 0;
    return number;
}

std::string SfvFileName(const std::string& name) {
    return name + ".sfv";
}

std::string ParityFileName(const std::string& name) {
    return name + ".par";
}
