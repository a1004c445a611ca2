#include "platform/foundation/URLQueryItem.h"

#include <gtest/gtest.h>

#include <QUrlQuery>

namespace tovrin {
namespace {

const QUrl Base(QStringLiteral("http://host.example:8480/v3/profiles?old=1"));

TEST(URLQueryItem, ItemsReplaceTheQueryAndReadBackUnchanged) {
    const URLQueryItems items = {{"pageNumber", "2"}, {"odd", "a&b=c+d e/é?#%"}};
    const QUrl url = URLBySettingQueryItems(Base, items);
    EXPECT_EQ(url.path(), "/v3/profiles");
    const auto read = QUrlQuery(url.query(QUrl::FullyEncoded)).queryItems(QUrl::FullyDecoded);
    ASSERT_EQ(read.size(), 2);
    EXPECT_EQ(read[0], qMakePair(QString("pageNumber"), QString("2")));
    EXPECT_EQ(read[1], qMakePair(QString("odd"), QString("a&b=c+d e/é?#%")));
}

TEST(URLQueryItem, NoListRemovesTheQueryAndAnEmptyListLeavesAnEmptyOne) {
    const QUrl removed = URLBySettingQueryItems(Base, std::nullopt);
    EXPECT_FALSE(removed.hasQuery());
    EXPECT_EQ(removed.toString(), "http://host.example:8480/v3/profiles");

    const QUrl empty = URLBySettingQueryItems(Base, URLQueryItems{});
    EXPECT_TRUE(empty.hasQuery());
    EXPECT_EQ(empty.toString(), "http://host.example:8480/v3/profiles?");
}

}  // namespace
}  // namespace tovrin
