#include <gtest/gtest.h>

#include "API/ChatServerInfo.h"
#include "API/TovrinAPIRequest.h"
#include "API/TovrinUploadRequest.h"

namespace tovrin {
namespace {

TEST(TovrinAPIRequest, ConstructorsSetTheMethodAndKeepWhatTheyAreGiven) {
    const URLQueryItems items = {{"pageNumber", "1"}};
    const QJsonObject body{{"email", "a@b.example"}};
    struct Case {
        std::shared_ptr<TovrinAPIRequest> request;
        const char* method;
        std::optional<URLQueryItems> queryItems;
        std::optional<QJsonObject> jsonBody;
    };
    const Case cases[] = {
        {TovrinAPIRequest::GETRequestWithPath("/v3/me", std::nullopt), "GET", std::nullopt, std::nullopt},
        {TovrinAPIRequest::GETRequestWithPath("/v3/me", items), "GET", items, std::nullopt},
        {TovrinAPIRequest::POSTRequestWithPath("/v3/me", std::nullopt, body), "POST", std::nullopt, body},
        {TovrinAPIRequest::POSTRequestWithPath("/v3/me", items, std::nullopt), "POST", items, std::nullopt},
        {TovrinAPIRequest::PUTRequestWithPath("/v3/me", std::nullopt, body), "PUT", std::nullopt, body},
        {TovrinAPIRequest::DELETERequestWithPath("/v3/me", URLQueryItems{}, body), "DELETE", URLQueryItems{},
         body},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.method);
        EXPECT_EQ(testCase.request->HTTPMethod(), testCase.method);
        EXPECT_EQ(testCase.request->path(), "/v3/me");
        EXPECT_EQ(testCase.request->queryItems(), testCase.queryItems);
        EXPECT_EQ(testCase.request->jsonBody(), testCase.jsonBody);
        EXPECT_EQ(testCase.request->serviceType(), TovrinRequestTypeAPI);
    }
}

TEST(TovrinUploadRequest, KeepsItsContentTypeWithoutData) {
    const auto empty = TovrinUploadRequest::POSTRequestWithPath("/v3/me/prefs/chat-pix/abc", std::nullopt,
                                                                std::nullopt, "application/json");
    EXPECT_EQ(empty->HTTPMethod(), "POST");
    EXPECT_FALSE(empty->data().has_value());
    EXPECT_EQ(empty->contentType(), "application/json");
    EXPECT_EQ(empty->serviceType(), TovrinRequestTypeUpload);

    const auto photo = TovrinUploadRequest::POSTRequestWithPath(
        "/v3/me/pics", URLQueryItems{{"type", "chat"}}, QByteArray("\xff\xd8\xff"), "image/jpeg");
    EXPECT_EQ(photo->data(), QByteArray("\xff\xd8\xff"));
    EXPECT_EQ(photo->queryItems(), (URLQueryItems{{"type", "chat"}}));
}

TEST(ChatServerInfo, CarriesTheBootstrapValues) {
    const ChatServerInfo info("xmpp", "chat.example", 5222, "tovrin.example");
    EXPECT_EQ(info.protocol(), "xmpp");
    EXPECT_EQ(info.host(), "chat.example");
    EXPECT_EQ(info.port(), 5222u);
    EXPECT_EQ(info.domain(), "tovrin.example");
}

}  // namespace
}  // namespace tovrin
