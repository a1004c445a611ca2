#include "platform/xmpp/XMPPJID.h"

#include <gtest/gtest.h>

#include <QList>

#include "platform/xmpp/XMPPStringPrep.h"

namespace tovrin::xmpp {
namespace {

TEST(XMPPJID, PreparesEveryPart) {
    struct Case {
        QString input;
        QString full;
    };
    const QList<Case> cases = {
        {"user@tovrin.test", "user@tovrin.test"},
        {"User@Tovrin.TEST/Resource", "user@tovrin.test/Resource"},
        {QString::fromUtf8("Ç@Bücher.example"), QString::fromUtf8("ç@bücher.example")},
        {"tovrin.test", "tovrin.test"},
        {"tovrin.test.", "tovrin.test"},
        {"tovrin.test/a/b@c", "tovrin.test/a/b@c"},
        {"user@127.0.0.1", "user@127.0.0.1"},
        {"user@[::1]", "user@[::1]"},
        {QString::fromUtf8("ﬁ@tovrin.test/\u2163"), QString::fromUtf8("fi@tovrin.test/IV")},
    };
    for (const Case& testCase : cases) {
        const std::optional<XMPPJID> jid = XMPPJID::jidWithString(testCase.input);
        ASSERT_TRUE(jid) << testCase.input.toStdString();
        EXPECT_EQ(jid->full(), testCase.full) << testCase.input.toStdString();
    }
}

TEST(XMPPJID, RefusesWhatIsNoAddress) {
    const QString tooLong(1024, 'a');
    const QList<QString> invalid = {
        "",
        "@tovrin.test",
        "user@",
        "user@tovrin.test/",
        "us\"er@tovrin.test",
        "us'er@tovrin.test",
        "us:er@tovrin.test",
        "us<er@tovrin.test",
        "us&er@tovrin.test",
        "a@b@tovrin.test",
        "user@tovrin test",
        "user@tovrin..test",
        "user@tovrin_test",
        tooLong + "@tovrin.test",
        "user@" + tooLong,
        "user@tovrin.test/" + tooLong,
        QStringLiteral("user@tovrin.test/") + QChar(0xD800),
        QStringLiteral("us") + QChar(0x0000) + "er@tovrin.test",
        QStringLiteral("user@tovrin.test/a") + QChar(0x200E) + QChar(0x05D0),
    };
    for (const QString& input : invalid) {
        EXPECT_FALSE(XMPPJID::jidWithString(input)) << input.toStdString();
    }
}

TEST(XMPPJID, AcceptsPartsUpToTheLengthLimit) {
    const QString longest(1023, 'a');
    EXPECT_TRUE(XMPPJID::jidWithString(longest + "@tovrin.test/" + longest));
}

TEST(XMPPJID, ComparesPreparedParts) {
    EXPECT_EQ(*XMPPJID::jidWithString("USER@TOVRIN.test"), *XMPPJID::jidWithUser("user", "tovrin.test"));
    EXPECT_NE(*XMPPJID::jidWithString("user@tovrin.test/A"), *XMPPJID::jidWithString("user@tovrin.test/a"));
    const XMPPJID full = *XMPPJID::jidWithString("user@tovrin.test/phone");
    EXPECT_EQ(full.bareJID(), *XMPPJID::jidWithString("user@tovrin.test"));
    EXPECT_EQ(full.bare(), "user@tovrin.test");
    EXPECT_EQ(full.domainJID().full(), "tovrin.test");
    EXPECT_TRUE(full.isFull());
    EXPECT_TRUE(full.bareJID().isBare());
    EXPECT_EQ(full.jidWithNewResource("tablet")->full(), "user@tovrin.test/tablet");
}

TEST(XMPPStringPrep, AcceptsOnlyStrictUTF8) {
    const QList<QPair<QByteArray, bool>> cases = {
        {"plain", true},     {"\xc3\xa9", true},      {"\xf0\x9f\x98\x80", true}, {"\xc3", false},
        {"\xc0\xaf", false}, {"\xe0\x80\xaf", false}, {"\xed\xa0\x80", false},    {"\xf4\x90\x80\x80", false},
        {"\x80", false},     {"\xff", false},
    };
    for (const auto& [bytes, valid] : cases)
        EXPECT_EQ(XMPPStringPrep::isValidUTF8(bytes), valid) << bytes.toHex().toStdString();
}

TEST(XMPPStringPrep, SASLprepMapsAndProhibits) {
    EXPECT_EQ(XMPPStringPrep::saslprep(QStringLiteral("I\u00ADX")), "IX");
    EXPECT_EQ(XMPPStringPrep::saslprep(QStringLiteral("\u2168")), "IX");
    EXPECT_EQ(XMPPStringPrep::saslprep(QStringLiteral("a\u00A0b")), "a b");
    EXPECT_FALSE(XMPPStringPrep::saslprep(QStringLiteral("\u0007")));
}

}  // namespace
}  // namespace tovrin::xmpp
