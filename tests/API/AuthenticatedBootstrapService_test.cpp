#include "API/AuthenticatedBootstrapService.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>

#include "API/ServiceJSONMapper.h"
#include "API/URLProvider.h"
#include "Helpers/ServerCurrentDateProvider.h"
#include "Rules/RulesJSONMapper.h"
#include "platform/foundation/Bundle.h"

namespace tovrin {
namespace {

// Only the mapping of answers: no request is made.
AuthenticatedBootstrapService mappingService() {
    auto bundle = std::make_shared<Bundle>(QVariantMap{{"TovrinHostURL", "https://api.tovrin.example"}});
    return AuthenticatedBootstrapService(
        nullptr, std::make_shared<URLProvider>(bundle), std::make_shared<ServiceJSONMapper>(),
        std::make_shared<RulesJSONMapper>(),
        std::make_shared<ServerCurrentDateProvider>(std::make_shared<DeviceCurrentDateProvider>()));
}

QJsonValue parseJSON(const char* json) {
    const QJsonDocument document = QJsonDocument::fromJson(json);
    return document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object());
}

TEST(AuthenticatedBootstrapService, TheFirstEntryOfEachListAndTheRulesMakeTheInfo) {
    const FullBootstrapInfo info = mappingService().fullBootstrapInfoWithJSON(parseJSON(R"({
        "services": {
            "chat": [{"protocol": "xmpp", "host": "chat.example", "domain": "tovrin.example"},
                     {"protocol": "xmpp", "host": "second.example", "port": 1, "domain": "x"}],
            "media": [{"protocol": "https", "host": "media.example", "port": 8443}],
            "upload": [{"protocol": "https", "host": "upload.example", "port": 443}, {"host": "second.example"}],
            "web": [{"protocol": "https", "host": "www.example", "port": 443}],
            "authenticationWeb": [{"protocol": "https", "host": "auth.example", "port": 443}]
        },
        "configuration": {"serverTime": 1700000000500, "app": {"maxCascadePages": 4}},
        "other": true})"));

    const TovrinServicesInfo& services = info.tovrinServicesInfo();
    EXPECT_EQ(services.apiURL(), QUrl("https://api.tovrin.example"));
    EXPECT_EQ(services.mediaURL().toString(), "https://media.example:8443");
    EXPECT_EQ(services.uploadURL().toString(), "https://upload.example:443");
    EXPECT_EQ(services.webURL().toString(), "https://www.example:443");
    EXPECT_EQ(services.chatServerInfo().host(), "chat.example");
    EXPECT_EQ(services.chatServerInfo().domain(), "tovrin.example");
    EXPECT_EQ(services.chatServerInfo().port(), 0u);  // absent
    EXPECT_EQ(info.configurationRules().serverTime(), Date(1700000000.5));
    EXPECT_EQ(info.configurationRules().app().maxCascadePages(), 4u);
}

// The rules keep the device time at which their answer arrived; the server clock measures from it.
TEST(AuthenticatedBootstrapService, TheRulesCarryTheTimeTheirAnswerArrived) {
    const QJsonValue answer = parseJSON(R"({"configuration": {"serverTime": 1700000000500}})");
    EXPECT_EQ(mappingService()
                  .fullBootstrapInfoWithJSON(answer, Date(1700000042))
                  .configurationRules()
                  .receivedAt(),
              Date(1700000042));
    EXPECT_FALSE(mappingService().fullBootstrapInfoWithJSON(answer).configurationRules().receivedAt());
}

TEST(AuthenticatedBootstrapService, AnswersOfOtherShapesReadAsAbsentValues) {
    for (const char* answer : {R"({})", R"([])", R"({"services": null, "configuration": "x"})",
                               R"({"services": {"chat": "x", "media": [null], "upload": {}, "web": [7]}})",
                               R"({"services": {"chat": [{"host": 5, "port": "5222", "domain": null}]}})",
                               R"({"services": {"chat": [{"port": -1}]}})"}) {
        SCOPED_TRACE(answer);
        const FullBootstrapInfo info = mappingService().fullBootstrapInfoWithJSON(parseJSON(answer));
        const TovrinServicesInfo& services = info.tovrinServicesInfo();
        EXPECT_TRUE(services.mediaURL().isEmpty());
        EXPECT_TRUE(services.uploadURL().isEmpty());
        EXPECT_TRUE(services.webURL().isEmpty());
        EXPECT_TRUE(services.chatServerInfo().host().isEmpty());
        EXPECT_TRUE(services.chatServerInfo().domain().isEmpty());
        EXPECT_EQ(services.chatServerInfo().port(), 0u);
        EXPECT_FALSE(info.configurationRules().serverTime().has_value());
    }
}

}  // namespace
}  // namespace tovrin
