// The names of the files of a part set: the stem (the first entry's name
// and a dot), then an optional "h" for a header file and the number with at
// least three digits: report.doc.001, report.doc.h001, report.doc.1000.
#pragma once

#include <cstdint>
#include <string>

std::string PartFileName(const std::string& stem, bool header, int32_t number);
// The stem of the set that a file of it belongs to: its name up to the last
// dot, the dot kept ("report.doc." of "report.doc.h001").
std::string SetStemOf(const std::string& fileName);

// The number of a data part (header false) or header file (header true) of
// the set with this stem, compared without regard to letter case; 0 when
// the name is none of the set's files.
int32_t PartNumberOf(const std::string& fileName, const std::string& stem, bool& header);

// The checksum file of the set whose first entry is named name: "name.sfv".
std::string SfvFileName(const std::string& name);
// The parity file of that set: "name.par".
std::string ParityFileName(const std::string& name);
