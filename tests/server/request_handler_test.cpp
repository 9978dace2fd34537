// The order of the checks and the status of each outcome, without a network.
#include <gtest/gtest.h>

#include <functional>

#include "server/request_handler.h"
#include "server_test_support.h"

namespace orvanta::server {
namespace {

AnalysisRequest GoodRequest() {
    AnalysisRequest r;
    r.contentType = "application/x-www-form-urlencoded";
    r.apiVersion = "1.0.0";
    r.userId = "111";
    r.password = "trelmoza";
    r.body = testing::EncodeBody(testing::ValidTexts());
    return r;
}

TEST(AnswerAnalysisRequest, ChecksInOrderAndAnswersWithTheRightStatus) {
    const Credentials credentials{"111", "trelmoza"};
    struct Case {
        const char* name;
        std::function<void(AnalysisRequest&)> change;
        int status;
        std::string badField;
    };
    const Case cases[] = {
        {"good request", [](AnalysisRequest&) {}, 200, ""},
        {"charset parameter",
         [](AnalysisRequest& r) { r.contentType = "application/x-www-form-urlencoded; charset=UTF-8"; }, 200, ""},
        {"content type in capitals", [](AnalysisRequest& r) { r.contentType = "Application/X-WWW-Form-URLEncoded"; },
         200, ""},
        {"version with blanks around", [](AnalysisRequest& r) { r.apiVersion = " 1.0.0 "; }, 200, ""},
        {"body too large",
         [](AnalysisRequest& r) {
             r.bodyTooLarge = true;
             r.userId = "x";
         },
         413, ""},
        {"wrong user", [](AnalysisRequest& r) { r.userId = "112"; }, 401, ""},
        {"wrong password", [](AnalysisRequest& r) { r.password = "trelmoz"; }, 401, ""},
        {"password with a trailing blank", [](AnalysisRequest& r) { r.password = "trelmoza "; }, 401, ""},
        {"password longer", [](AnalysisRequest& r) { r.password = "trelmozaa"; }, 401, ""},
        {"no User-ID", [](AnalysisRequest& r) { r.userId.reset(); }, 401, ""},
        {"no Password", [](AnalysisRequest& r) { r.password.reset(); }, 401, ""},
        {"bad credentials before a bad form",
         [](AnalysisRequest& r) {
             r.password = "";
             r.body = "x";
             r.contentType.reset();
         },
         401, ""},
        {"no Content-Type", [](AnalysisRequest& r) { r.contentType.reset(); }, 415, "Content-Type"},
        {"text/plain", [](AnalysisRequest& r) { r.contentType = "text/plain"; }, 415, "Content-Type"},
        {"multipart", [](AnalysisRequest& r) { r.contentType = "multipart/form-data; boundary=x"; }, 415,
         "Content-Type"},
        {"form type as a prefix only", [](AnalysisRequest& r) { r.contentType = "application/x-www-form-urlencodedx"; },
         415, "Content-Type"},
        {"no Api-Version", [](AnalysisRequest& r) { r.apiVersion.reset(); }, 400, "Api-Version"},
        {"older Api-Version", [](AnalysisRequest& r) { r.apiVersion = "1.0"; }, 400, "Api-Version"},
        {"bad form", [](AnalysisRequest& r) { r.body = "selectedTime=1&actualTime=x"; }, 400, "actualTime"},
        {"empty body", [](AnalysisRequest& r) { r.body.clear(); }, 400, "selectedTime"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AnalysisRequest request = GoodRequest();
        c.change(request);
        const Reply reply = AnswerAnalysisRequest(request, credentials);
        EXPECT_EQ(reply.status, c.status);
        EXPECT_EQ(reply.badField, c.badField);
        EXPECT_NE(reply.page.find("<!DOCTYPE html>"), std::string::npos);
        EXPECT_EQ(reply.page.find("id=\"thd-b\"") != std::string::npos, c.status == 200);
        if (c.status == 401) {
            EXPECT_NE(reply.page.find("身份验证失败"), std::string::npos);
        }
        if (!c.badField.empty()) {
            EXPECT_NE(reply.page.find("<code id=\"bad-field\">" + c.badField + "</code>"), std::string::npos);
        }
    }
}

TEST(AnswerAnalysisRequest, AcceptsEmptyConfiguredCredentials) {
    AnalysisRequest request = GoodRequest();
    request.userId = "";
    request.password = "";
    EXPECT_EQ(AnswerAnalysisRequest(request, Credentials{"", ""}).status, 200);
    request.password.reset();
    EXPECT_EQ(AnswerAnalysisRequest(request, Credentials{"", ""}).status, 401);
}

}  // namespace
}  // namespace orvanta::server
