#include "Authentication/AuthResponseParser.h"

#include <gtest/gtest.h>

#include <QJsonDocument>

#include "Authentication/CreateAccountService.h"

namespace tovrin {
namespace {

AuthResponseParser parseResponse(const char* json) {
    return AuthResponseParser(QJsonDocument::fromJson(json).object());
}

TEST(AuthResponseParser, ReadsTheMemberAndTheTokens) {
    struct Case {
        const char* response;
        const char* profileID;
    };
    const Case cases[] = {
        {R"({"profileId":"42","sessionId":"s","xmppToken":"x"})", "42"},
        {R"({"profileId":42,"sessionId":"s","xmppToken":"x"})", "42"},
        {R"({"profileId":9007199254740993,"sessionId":"s","xmppToken":"x"})", "9007199254740993"},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.response);
        const auto info = parseResponse(testCase.response).sessionInfo();
        ASSERT_TRUE(info.has_value());
        EXPECT_EQ(info->profileID(), testCase.profileID);
        EXPECT_EQ(info->credentials(), SessionCredentials("s", "x"));
    }
}

TEST(AuthResponseParser, AResponseWithoutAllThreeNamesNoSession) {
    for (const char* response :
         {R"({"sessionId":"s","xmppToken":"x"})", R"({"profileId":"1","xmppToken":"x"})",
          R"({"profileId":"1","sessionId":"s"})", R"({"profileId":null,"sessionId":"s","xmppToken":"x"})",
          R"({"profileId":"1","sessionId":7,"xmppToken":"x"})",
          R"({"profileId":"1","sessionId":"","xmppToken":"x"})",
          R"({"profileId":true,"sessionId":"s","xmppToken":"x"})"}) {
        SCOPED_TRACE(response);
        EXPECT_FALSE(parseResponse(response).sessionInfo().has_value());
    }
}

TEST(CreateAccountService, TheBirthdayIsMillisecondsSince1970NotRounded) {
    EXPECT_EQ(CreateAccountService::millisecondsSince1970ForBirthDate(Date(0)), 0.0);
    EXPECT_EQ(CreateAccountService::millisecondsSince1970ForBirthDate(Date(-86400.25)), -86400250.0);
    EXPECT_EQ(CreateAccountService::millisecondsSince1970ForBirthDate(Date(1.0005)), 1.0005 * 1000.0);
}

}  // namespace
}  // namespace tovrin
