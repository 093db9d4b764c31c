#include "WebAddress.h"

#ifndef FENDRIX_WEB_ADDRESS
#define FENDRIX_WEB_ADDRESS ""
#endif

std::string MakerWebAddress() {
    return FENDRIX_WEB_ADDRESS;
}

std::string HostNameOf(const std::string& address) {
    std::string host = address;
    const size_t scheme = host.find("://");
    if (scheme != std::string::npos)
        host.erase(0, scheme + 3);
    const size_t end = host.find_first_of("/?#");
    if (end != std::string::npos)
        host.erase(end);
    const size_t at = host.rfind('@');
    if (at != std::string::npos)
        host.erase(0, at + 1);
    const size_t port = host.find(':');
    if (port != std::string::npos)
        host.erase(port);
    return host;
}
