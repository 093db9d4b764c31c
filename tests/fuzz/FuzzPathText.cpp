// The path-text helpers on any text: results are pieces of their input and
// fit together again.
#include "FuzzInput.h"
#include "foundation/UnitImport.h"
#include "index/PathOps.h"

namespace {

bool IsPrefix(const std::string& prefix, const std::string& text) {
    return text.compare(0, prefix.size(), prefix) == 0 && prefix.size() <= text.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path(reinterpret_cast<const char*>(data), size);

    const std::string stripped = StripTrailingBackslashes(path);
    FUZZ_CHECK(IsPrefix(stripped, path));
    FUZZ_CHECK(stripped.empty() || stripped.back() != '\\');
    FUZZ_CHECK(StripTrailingBackslashes(stripped) == stripped);
    FUZZ_CHECK(path.find_first_not_of('\\', stripped.size()) == std::string::npos);

    const std::string added = AddTrailingBackslash(path);
    FUZZ_CHECK(path.empty() ? added.empty() : added.back() == '\\');
    FUZZ_CHECK(IsPrefix(path, added) && added.size() <= path.size() + 1);

    const std::string parent = ParentPath(path);
    FUZZ_CHECK(IsPrefix(parent, stripped));
    if (stripped.find('\\') != std::string::npos)
        FUZZ_CHECK(parent + "\\" + FileNamePart(stripped) == stripped);
    else
        FUZZ_CHECK(parent == stripped);

    const std::string name = FileNamePart(path);
    FUZZ_CHECK(name.find('\\') == std::string::npos);
    FUZZ_CHECK(path.size() >= name.size() && path.compare(path.size() - name.size(), name.size(), name) == 0);

    const std::string bare = RemoveExtension(path);
    FUZZ_CHECK(IsPrefix(bare, path));
    if (bare != path) {
        const std::string cut = path.substr(bare.size());
        FUZZ_CHECK(cut[0] == '.' && cut.find('\\') == std::string::npos && cut.find('.', 1) == std::string::npos);
    }

    const std::string root = PathRoot(path);
    FUZZ_CHECK(IsPrefix(root, path));
    const bool driveRoot = root.size() == 2 && path.size() >= 2 && path[1] == ':';
    const bool shareRoot = root.size() >= 2 && root[0] == '\\' && root[1] == '\\';
    FUZZ_CHECK(root.empty() || driveRoot || shareRoot);

    const size_t pos = LastDelimiterPos(".\\", path);
    FUZZ_CHECK(pos <= path.size());
    FUZZ_CHECK(pos == 0 || path[pos - 1] == '.' || path[pos - 1] == '\\');
    return 0;
}
