// The maker's web page. It is a build setting (FENDRIX_WEB_ADDRESS), empty
// unless the build names one; while it is empty the window shows no link.
#pragma once

#include <string>

std::string MakerWebAddress();
// The host name of an address: without scheme, user, port and path.
std::string HostNameOf(const std::string& address);
