#include "DamagedCopy.h"

#include "foundation/UnitFileStream.h"
#include "foundation/UnitLanguage.h"
#include "foundation/platform/FileSystem.h"
#include "index/PathOps.h"

namespace {

// Far more than repairs of one file ever leave; the search ends somewhere.
constexpr int MostDamagedCopies = 999;

[[noreturn]] void RaiseAbout(const TOsError& error, const std::string& path) {
    std::string text = error.Text;
    if (!text.empty() && text.back() != '\n')
        text += "\r\n";
    throw EExceptionLite(text + "\"" + path + "\"");
}

}  // namespace

std::string KeepDamagedCopy(const std::string& path) {
    TOsError error;
    std::string copy;
    for (int n = 1; n <= MostDamagedCopies; ++n) {
        copy = path + ".damaged" + (n == 1 ? std::string() : FormatZeroPadded(0, n));
        if (OsCopyFileNoReplace(path, copy, error))
            return FileNamePart(copy, NativePathStyle);
        if (error.Kind != TOsErrorKind::Exists)
            break;
    }
    RaiseAbout(error, copy);
}
