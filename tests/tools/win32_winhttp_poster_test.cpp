// The WinHTTP poster: the header lines it hands to WinHTTP, and failures that
// come back as messages instead of answers.
#include "request/winhttp_poster.h"

#include <gtest/gtest.h>

#include "request/form_poster.h"

namespace orvanta {
namespace {

TEST(WinHttpPoster, HeaderLinesEndInCrLfWithoutEmptyLines) {
    struct Case {
        const char* block;
        const wchar_t* text;
    };
    const Case cases[] = {
        {"Content-Type: a\r\nApi-Version: 1\r\n", L"Content-Type: a\r\nApi-Version: 1\r\n"},
        {"A: 1\nB: 2", L"A: 1\r\nB: 2\r\n"},
        {"\r\nA: 1\r\n\r\n", L"A: 1\r\n"},
        {"", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.block);
        EXPECT_EQ(WinHttpHeaderText(c.block), c.text);
    }
}

TEST(WinHttpPoster, FailuresAreMessagesNotAnswers) {
    ASSERT_TRUE(StartPosting(nullptr));
    struct Case {
        const char* url;
        const char* error;
    };
    const Case cases[] = {
        {"http://127.0.0.1:1/analysis", "could not connect to the server"},
        {"ftp://127.0.0.1/analysis", "not an http or https address"},
        {"no address", "bad address"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        PostAnswer answer = PostForm(c.url, "Content-Type: application/x-www-form-urlencoded\r\n", {'a', '=', '1'});
        EXPECT_FALSE(answer.transported);
        EXPECT_NE(answer.error.find(c.error), std::string::npos) << answer.error;
    }
    StopPosting();
}

}  // namespace
}  // namespace orvanta
