// The command line of orvanta-server.
#include <gtest/gtest.h>

#include "server/server_options.h"

namespace orvanta::server {
namespace {

TEST(ParseServerOptions, DefaultsMatchTheClientsDefaults) {
    const OptionsResult r = ParseServerOptions({});
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.options.host, "127.0.0.1");
    EXPECT_EQ(r.options.port, 8080);
    EXPECT_EQ(r.options.user, "111");
    EXPECT_EQ(r.options.password, "trelmoza");
    EXPECT_TRUE(r.options.recordPath.empty());
    EXPECT_FALSE(r.options.help);
}

TEST(ParseServerOptions, ReadsEveryOptionInBothSpellings) {
    struct Case {
        std::vector<std::string> args;
        std::string host;
        int port;
        std::string user;
        std::string password;
        std::string record;
    };
    const Case cases[] = {
        {{"--listen", "127.0.0.1:0"}, "127.0.0.1", 0, "111", "trelmoza", ""},
        {{"--listen=localhost:65535"}, "localhost", 65535, "111", "trelmoza", ""},
        {{"--listen", "[::1]:9000"}, "::1", 9000, "111", "trelmoza", ""},
        {{"--user", "abc", "--password=", "--record", "r.jsonl"}, "127.0.0.1", 8080, "abc", "", "r.jsonl"},
        {{"--password", "p=q", "--user=u v"}, "127.0.0.1", 8080, "u v", "p=q", ""},
        {{"--listen", "127.0.0.1:1", "--listen", "127.0.0.2:2"}, "127.0.0.2", 2, "111", "trelmoza", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.front());
        const OptionsResult r = ParseServerOptions(c.args);
        ASSERT_TRUE(r.ok) << r.error;
        EXPECT_EQ(r.options.host, c.host);
        EXPECT_EQ(r.options.port, c.port);
        EXPECT_EQ(r.options.user, c.user);
        EXPECT_EQ(r.options.password, c.password);
        EXPECT_EQ(r.options.recordPath, c.record);
    }
    EXPECT_TRUE(ParseServerOptions({"--help"}).options.help);
    EXPECT_TRUE(ParseServerOptions({"-h"}).options.help);
    EXPECT_TRUE(ParseServerOptions({"--version"}).options.version);
    EXPECT_EQ(VersionText().rfind("orvanta-server ", 0), 0u);
}

TEST(ParseServerOptions, RejectsBadArgumentsWithAMessage) {
    const std::vector<std::vector<std::string>> cases = {
        {"--listen"},
        {"--listen", "127.0.0.1"},
        {"--listen", "127.0.0.1:"},
        {"--listen", ":8080"},
        {"--listen", "127.0.0.1:65536"},
        {"--listen", "127.0.0.1:-1"},
        {"--listen", "127.0.0.1:80x"},
        {"--listen", "127.0.0.1:999999"},
        {"--listen", "::1:80"},
        {"--listen", "[::1]80"},
        {"--user"},
        {"--record", ""},
        {"--record="},
        {"--port", "80"},
        {"extra"},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(args.front() + (args.size() > 1 ? " " + args[1] : ""));
        const OptionsResult r = ParseServerOptions(args);
        EXPECT_FALSE(r.ok);
        EXPECT_FALSE(r.error.empty());
    }
}

}  // namespace
}  // namespace orvanta::server
