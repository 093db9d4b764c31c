#include "../OsError.h"

#include <windows.h>

namespace {

TOsErrorKind KindOf(uint32_t code) {
    switch (code) {
    case 0: return TOsErrorKind::None;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return TOsErrorKind::NotFound;
    case ERROR_ACCESS_DENIED: return TOsErrorKind::AccessDenied;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return TOsErrorKind::Exists;
    case ERROR_SHARING_VIOLATION: return TOsErrorKind::SharingViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return TOsErrorKind::DiskFull;
    default: return TOsErrorKind::Other;
    }
}

}  // namespace

std::string OsErrorText(uint32_t code) {
    if (code == 0)
        return std::string();
    char buffer[1024];
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                        buffer, sizeof buffer, nullptr);
    return std::string(buffer, length);
}

TOsError OsErrorFromCode(uint32_t code) {
    TOsError error;
    error.Kind = KindOf(code);
    error.Code = code;
    error.Text = OsErrorText(code);
    return error;
}
