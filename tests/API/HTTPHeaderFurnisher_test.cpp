#include "API/HTTPHeaderFurnisher.h"

#include <gtest/gtest.h>

#include "API/WebClientTestSupport.h"

namespace tovrin {
namespace {

TEST(HTTPHeaderFurnisher, TheUserAgentNamesVersionBuildAndSystem) {
    const HTTPHeaderFurnisher furnisher(test::sampleDevice(), test::sampleInfoDictionary());
    EXPECT_EQ(furnisher.userAgentString(), "Tovrin3/3.0 (42; iPhone; iOS 8.1)");
}

TEST(HTTPHeaderFurnisher, SetsTheCommonHeadersOverEarlierValues) {
    const HTTPHeaderFurnisher furnisher(test::sampleDevice(), test::sampleInfoDictionary());
    net::URLRequest request(QUrl("http://host.example/v3/me"));
    request.setValue("old agent", "user-agent");
    request.setValue("text/html", "Accept");
    request.setValue("Tovrin3 token", "Authorization");

    const net::URLRequest plain = furnisher.furnishURLRequest(request, std::nullopt);
    EXPECT_EQ(plain.valueForHTTPHeaderField("User-Agent"), "Tovrin3/3.0 (42; iPhone; iOS 8.1)");
    EXPECT_EQ(plain.valueForHTTPHeaderField("Accept"), "application/json");
    EXPECT_EQ(plain.valueForHTTPHeaderField("Authorization"), "Tovrin3 token");
    EXPECT_FALSE(plain.valueForHTTPHeaderField("Content-Type").has_value());
    EXPECT_EQ(plain.allHTTPHeaderFields().size(), 3);

    const net::URLRequest typed = furnisher.furnishURLRequest(request, QString("image/jpeg"));
    EXPECT_EQ(typed.valueForHTTPHeaderField("content-type"), "image/jpeg");
}

TEST(HTTPHeaderFurnisher, MissingVersionsLeaveTheirPlacesEmpty) {
    const HTTPHeaderFurnisher furnisher(test::sampleDevice(), QVariantMap());
    EXPECT_EQ(furnisher.userAgentString(), "Tovrin3/ (; iPhone; iOS 8.1)");
}

}  // namespace
}  // namespace tovrin
