#include "API/ServiceJSONMapper.h"

#include <gtest/gtest.h>

#include <QJsonDocument>

namespace tovrin {
namespace {

TEST(ServiceJSONMapper, AnEntryBecomesSchemeHostAndPort) {
    struct Case {
        const char* entry;
        const char* url;
    };
    const Case cases[] = {
        {R"({"protocol":"https","host":"media.tovrin.example","port":443})",
         "https://media.tovrin.example:443"},
        {R"({"protocol":"http","host":"127.0.0.1","port":8480,"path":"/ignored"})", "http://127.0.0.1:8480"},
        {R"({"protocol":"https","host":"upload.example"})", "https://upload.example"},
        {R"({"protocol":"https","host":"upload.example","port":"443"})", "https://upload.example"},
        {R"({"protocol":"https","host":"upload.example","port":70000})", "https://upload.example"},
        {R"({"protocol":null,"host":"upload.example","port":80})", "//upload.example:80"},
        {R"({})", ""},
    };
    const ServiceJSONMapper mapper;
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.entry);
        const QUrl url = mapper.URLWithJSONDictionary(QJsonDocument::fromJson(testCase.entry).object());
        EXPECT_EQ(url.toString(), testCase.url);
        EXPECT_TRUE(url.path().isEmpty());
        EXPECT_FALSE(url.hasQuery());
    }
}

}  // namespace
}  // namespace tovrin
