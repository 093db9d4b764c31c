#include "../OsError.h"

#include <cerrno>
#include <cstring>

namespace {

TOsErrorKind KindOf(uint32_t code) {
    switch (code) {
    case 0: return TOsErrorKind::None;
    case ENOENT:
    case ENOTDIR: return TOsErrorKind::NotFound;
    case EACCES:
    case EPERM:
    case EROFS: return TOsErrorKind::AccessDenied;
    case EEXIST: return TOsErrorKind::Exists;
    case EBUSY:
    case ETXTBSY: return TOsErrorKind::SharingViolation;
    case ENOSPC:
    case EDQUOT: return TOsErrorKind::DiskFull;
    default: return TOsErrorKind::Other;
    }
}

}  // namespace

std::string OsErrorText(uint32_t code) {
    if (code == 0)
        return std::string();
    return std::strerror(static_cast<int>(code));
}

TOsError OsErrorFromCode(uint32_t code) {
    TOsError error;
    error.Kind = KindOf(code);
    error.Code = code;
    error.Text = OsErrorText(code);
    return error;
}
