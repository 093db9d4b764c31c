// The sfv reader on any text: every line it takes is a name and a checksum
// that the writer spells back to a text the reader takes again, unchanged,
// and it never takes more lines than the text has.
#include "FuzzInput.h"
#include "index/SfvText.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TFuzzInput input(data, size);
    const std::string text = input.Rest();
    const std::vector<TSfvLine> lines = ParseSfv(text);
    FUZZ_CHECK(lines.size() <= static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
    for (const TSfvLine& line : lines) {
        FUZZ_CHECK(!line.Name.empty());
        FUZZ_CHECK(line.Name.find('\n') == std::string::npos);
        FUZZ_CHECK(line.Name[0] != ';');
    }
    const std::vector<TSfvLine> again = ParseSfv(BuildSfv(lines));
    FUZZ_CHECK(again.size() == lines.size());
    for (size_t i = 0; i < lines.size() && i < again.size(); ++i) {
        FUZZ_CHECK(again[i].Name == lines[i].Name);
        FUZZ_CHECK(again[i].Crc == lines[i].Crc);
    }
    return 0;
}
