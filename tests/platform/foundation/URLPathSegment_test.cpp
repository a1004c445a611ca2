#include "platform/foundation/URLPathSegment.h"

#include <gtest/gtest.h>

#include <QUrl>

namespace tovrin {
namespace {

// Each value as the last segment of a path, and the address that path gives on a host.
TEST(URLPathSegment, AValueIsOneEncodedSegmentOrNone) {
    struct Case {
        QString value;
        std::optional<QString> path;  // nothing: no segment, no address
    };
    const Case cases[] = {
        {"f00d", "/v3/media/f00d"},
        {"a/b", "/v3/media/a%2Fb"},
        {"%2e", "/v3/media/%252e"},
        {"%2F..", "/v3/media/%252F.."},
        {QString::fromUtf8("ü"), "/v3/media/%C3%BC"},
        {"a b?c#d", "/v3/media/a%20b%3Fc%23d"},
        {"...", "/v3/media/..."},
        {"..", std::nullopt},
        {".", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.value.toStdString());
        const std::optional<QString> path = URLPathByAppendingSegment("/v3/media", testCase.value);
        EXPECT_EQ(path, testCase.path);
        EXPECT_EQ(URLPathByAppendingSegment("/v3/media/", testCase.value), testCase.path);
        if (!path) continue;
        QUrl url(QStringLiteral("https://media.example"));
        url.setPath(*path, QUrl::TolerantMode);
        // What goes on the wire: dot segments removed, as the HTTP stack does before sending.
        const QUrl sent = url.adjusted(QUrl::NormalizePathSegments);
        EXPECT_EQ(sent.toString(QUrl::FullyEncoded), "https://media.example" + *path);
        EXPECT_EQ(QUrl::fromPercentEncoding(sent.path(QUrl::FullyEncoded).section('/', -1).toUtf8()),
                  testCase.value);
    }
}

}  // namespace
}  // namespace tovrin
