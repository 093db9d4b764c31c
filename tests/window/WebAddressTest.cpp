// The painted link shows the host name of the configured web address.
#include "window/WebAddress.h"

#include <gtest/gtest.h>

TEST(WebAddress, HostNameOfAnAddress) {
    struct TRow {
        const char* Address;
        const char* Host;
    };
    const TRow rows[] = {
        {"", ""},
        {"https://www.example.org/fendrix/", "www.example.org"},
        {"http://example.org", "example.org"},
        {"example.org/path?q=1", "example.org"},
        {"https://user@example.org:8080/x", "example.org"},
        {"https://example.org#top", "example.org"},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Address);
        EXPECT_EQ(HostNameOf(row.Address), row.Host);
    }
    // The default build names no page: no link is painted or opened.
    EXPECT_EQ(MakerWebAddress(), "");
}
