// The one rule both posters and the window apply to server addresses and
// redirects: only absolute http/https addresses, redirects only within the
// origin, never from https to http.
#include <gtest/gtest.h>

#include "request/http_address.h"

namespace orvanta {
namespace {

TEST(HttpAddress, TakesOnlyAbsoluteHttpAndHttpsAddressesWithAHost) {
    const struct {
        const char* text;
        bool usable;
        const char* host;
        int port;
        const char* target;
    } cases[] = {
        {"http://analysis.example/analysis", true, "analysis.example", 80, "/analysis"},
        {"HTTPS://Analysis.Example:8443", true, "analysis.example", 8443, "/"},
        {"http://user:pw@127.0.0.1:47010/a?b=c", true, "127.0.0.1", 47010, "/a?b=c"},
        {"http://[::1]:47010/analysis", true, "[::1]", 47010, "/analysis"},
        {"http://h?x", true, "h", 80, "/?x"},
        {"127.0.0.1:47010/analysis", false, "", 0, ""},
        {"localhost:47010/analysis", false, "", 0, ""},
        {"ftp://127.0.0.1/analysis", false, "", 0, ""},
        {"http:///analysis", false, "", 0, ""},
        {"http://h:0/", false, "", 0, ""},
        {"http://h:70000/", false, "", 0, ""},
        {"http://h:8x/", false, "", 0, ""},
        {"http://h /a", false, "", 0, ""},
        {"", false, "", 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        HttpAddress address;
        ASSERT_EQ(ParseHttpAddress(c.text, &address), c.usable);
        if (!c.usable) continue;
        EXPECT_EQ(address.host, c.host);
        EXPECT_EQ(address.port, c.port);
        EXPECT_EQ(address.target, c.target);
    }
}

TEST(HttpAddress, FollowsARedirectOnlyWithinItsOrigin) {
    const struct {
        const char* current;
        const char* location;
        const char* target;   // empty: refused
        const char* refusal;  // a phrase of the reason
    } cases[] = {
        {"http://h:8080/a/b?q", "/analysis", "http://h:8080/analysis", ""},
        {"http://h:8080/a/b?q", "c", "http://h:8080/a/c", ""},
        {"http://h:8080/a/b?q", "?r", "http://h:8080/a/b?r", ""},
        {"http://h/a", "//H:80/x", "http://H:80/x", ""},
        {"https://h/a", "https://h:443/x", "https://h:443/x", ""},
        {"http://127.0.0.1:47010/a", "http://localhost:47010/a", "", "another origin"},
        {"http://h/a", "http://h:81/a", "", "another origin"},
        {"http://h/a", "https://h/a", "", "another origin"},
        {"https://h/a", "http://h/a", "", "from https to http"},
        {"https://h/a", "//h/x", "https://h/x", ""},
        {"http://h/a", "ftp://h/a", "", "not an http or https address"},
        {"http://h/a", "", "", "not an http or https address"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.current) + " -> " + c.location);
        const RedirectVerdict verdict = JudgeRedirect(c.current, c.location);
        EXPECT_EQ(verdict.follow, c.target[0] != '\0');
        if (verdict.follow) {
            EXPECT_EQ(verdict.target, c.target);
        } else {
            EXPECT_NE(verdict.refusal.find(c.refusal), std::string::npos) << verdict.refusal;
        }
    }
}

// The chain a poster runs: what each status leads to, and how many requests.
TEST(HttpAddress, EndsARedirectChainInAPageOrAReason) {
    const struct {
        long firstStatus;
        const char* location;
        const char* reason;  // empty: a page
        int requests;
        bool secondIsPost;
    } cases[] = {
        {200, "", "", 1, false},
        {307, "/b", "", 2, true},
        {303, "/b", "", 2, false},
        {302, "http://other/b", "another origin", 1, false},
        {302, "", "without a Location", 1, false},
        {204, "", "without a page", 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.firstStatus);
        int requests = 0;
        bool secondIsPost = false;
        long status = 0;
        const std::string reason = FollowRedirects(
            "http://h/a",
            [&](const std::string&, bool post) {
                HttpExchange exchange;
                exchange.ok = true;
                exchange.status = ++requests == 1 ? c.firstStatus : 200;
                exchange.location = requests == 1 ? c.location : "";
                if (requests == 2) secondIsPost = post;
                return exchange;
            },
            &status);
        EXPECT_EQ(requests, c.requests);
        EXPECT_EQ(secondIsPost, c.secondIsPost);
        if (c.reason[0] == '\0') {
            EXPECT_EQ(reason, "");
        } else {
            EXPECT_NE(reason.find(c.reason), std::string::npos) << reason;
        }
    }
    // A server that redirects to itself forever.
    int requests = 0;
    long status = 0;
    const std::string reason = FollowRedirects(
        "http://h/a",
        [&](const std::string&, bool) {
            ++requests;
            return HttpExchange{true, 307, "/a"};
        },
        &status);
    EXPECT_EQ(requests, kMaxRedirects + 1);
    EXPECT_NE(reason.find("redirects"), std::string::npos);
}

}  // namespace
}  // namespace orvanta
