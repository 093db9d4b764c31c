#include "CommandLine.h"

#include "platform/Process.h"

int ArgumentCount() {
    return ArgumentCountOf(OsGetCommandLine());
}

std::string ArgumentText(int index) {
    if (index == 0)
        return OsGetModuleFileName();
    return ArgumentTextOf(OsGetCommandLine(), index);
}
