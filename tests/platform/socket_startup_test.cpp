#include "platform/socket_startup.h"

#include <gtest/gtest.h>

namespace orvanta {
namespace {

TEST(SocketStartup, AcceptsExactlyVersionOneOne) {
    struct Case {
        unsigned short granted;  // low byte major, high byte minor
        bool accepted;
    };
    const Case cases[] = {
        {0x0101, true},   // 1.1
        {0x0001, false},  // 1.0
        {0x0202, false},  // 2.2 only
        {0x0102, false},  // 2.1
        {0x0100, false},  // 0.1
        {0x0000, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.granted);
        EXPECT_EQ(SocketVersionAccepted(c.granted), c.accepted);
    }
}

TEST(SocketStartup, StartsOnThisPlatform) {
    // Windows grants 1.1 when asked for it; Linux has nothing to start.
    EXPECT_TRUE(StartSocketLayer());
}

}  // namespace
}  // namespace orvanta
