#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QMap>

#include "platform/xmpp/SASL/XMPPDigestMD5Authentication.h"
#include "platform/xmpp/SASL/XMPPLegacyAuthentication.h"
#include "platform/xmpp/SASL/XMPPPlainAuthentication.h"
#include "platform/xmpp/SASL/XMPPSCRAMSHA1Authentication.h"
#include "platform/xmpp/XMPPParser.h"

namespace tovrin::xmpp {
namespace {

using Outcome = XMPPSASLAuthentication::Outcome;

XMLElement saslElement(const QString& name, const QByteArray& data) {
    XMLElement element(name, QStringLiteral("urn:ietf:params:xml:ns:xmpp-sasl"));
    if (!data.isEmpty()) element.setStringValue(QString::fromLatin1(data.toBase64()));
    return element;
}

QByteArray decoded(const XMLElement& element) {
    return QByteArray::fromBase64(element.stringValue().toLatin1());
}

// RFC 5802, section 5.
class SCRAMSHA1 : public testing::Test {
protected:
    XMPPSCRAMSHA1Authentication scram{"user", "pencil", "fyko+d2lbbFgONRv9qkxdawL"};
    const QByteArray serverFirst = "r=fyko+d2lbbFgONRv9qkxdawL3rfcNHYJY1ZVvWVs7j,s=QSXCR+Q6sek8bf92,i=4096";
};

TEST_F(SCRAMSHA1, ExchangesTheMessagesOfTheRFCExampleAndVerifiesTheServer) {
    const XMLElement auth = scram.start();
    EXPECT_EQ(auth.attributeStringValueForName("mechanism"), "SCRAM-SHA-1");
    EXPECT_EQ(decoded(auth), "n,,n=user,r=fyko+d2lbbFgONRv9qkxdawL");

    const auto proof = scram.handleAuth(saslElement("challenge", serverFirst));
    EXPECT_EQ(proof.outcome, Outcome::Continue);
    EXPECT_EQ(decoded(proof.response),
              "c=biws,r=fyko+d2lbbFgONRv9qkxdawL3rfcNHYJY1ZVvWVs7j,p=v0X8v3Bz2T0CJGbJQyF0X+HI4Ts=");

    EXPECT_EQ(scram.handleAuth(saslElement("success", "v=rmF9pqV8S7suAoZWja4dJRkFsKQ=")).outcome,
              Outcome::Succeeded);
}

TEST_F(SCRAMSHA1, AcceptsTheServerSignatureAsAChallengeBeforeAnEmptySuccess) {
    scram.start();
    scram.handleAuth(saslElement("challenge", serverFirst));
    const auto answer = scram.handleAuth(saslElement("challenge", "v=rmF9pqV8S7suAoZWja4dJRkFsKQ="));
    EXPECT_EQ(answer.outcome, Outcome::Continue);
    EXPECT_EQ(answer.response.name(), "response");
    EXPECT_EQ(scram.handleAuth(saslElement("success", {})).outcome, Outcome::Succeeded);
}

TEST_F(SCRAMSHA1, FailsWhenTheServerCannotProveItKnowsThePassword) {
    scram.start();
    scram.handleAuth(saslElement("challenge", serverFirst));
    EXPECT_EQ(scram.handleAuth(saslElement("success", "v=AAAAAAAAAAAAAAAAAAAAAAAAAAA=")).outcome,
              Outcome::Failed);
}

TEST_F(SCRAMSHA1, FailsASuccessWithoutAnyServerSignature) {
    scram.start();
    scram.handleAuth(saslElement("challenge", serverFirst));
    EXPECT_EQ(scram.handleAuth(saslElement("success", {})).outcome, Outcome::Failed);
}

TEST_F(SCRAMSHA1, RefusesAServerFirstMessageItCannotTrust) {
    const QList<QByteArray> messages = {
        "r=someoneelse,s=QSXCR+Q6sek8bf92,i=4096",
        "r=fyko+d2lbbFgONRv9qkxdawL,s=QSXCR+Q6sek8bf92,i=4096",
        "r=fyko+d2lbbFgONRv9qkxdawL3rfc,s=,i=4096",
        "r=fyko+d2lbbFgONRv9qkxdawL3rfc,s=QSXCR+Q6sek8bf92,i=0",
        "r=fyko+d2lbbFgONRv9qkxdawL3rfc,s=QSXCR+Q6sek8bf92,i=100000000",
        "m=ext,r=fyko+d2lbbFgONRv9qkxdawL3rfc,s=QSXCR+Q6sek8bf92,i=4096",
    };
    for (const QByteArray& message : messages) {
        XMPPSCRAMSHA1Authentication fresh("user", "pencil", "fyko+d2lbbFgONRv9qkxdawL");
        fresh.start();
        EXPECT_EQ(fresh.handleAuth(saslElement("challenge", message)).outcome, Outcome::Failed)
            << message.toStdString();
    }
}

TEST(SCRAMSHA1Names, EscapesCommasAndEqualsInTheUserName) {
    XMPPSCRAMSHA1Authentication scram("a,b=c", "p", "nonce");
    EXPECT_EQ(decoded(scram.start()), "n,,n=a=2Cb=3Dc,r=nonce");
}

QMap<QByteArray, QByteArray> directives(const QByteArray& text) {
    QMap<QByteArray, QByteArray> result;
    for (const QByteArray& part : text.split(',')) {
        const qsizetype equals = part.indexOf('=');
        QByteArray value = part.mid(equals + 1);
        if (value.startsWith('"')) value = value.mid(1, value.size() - 2);
        result.insert(part.left(equals), value);
    }
    return result;
}

// RFC 2831, section 4.
TEST(DigestMD5, AnswersTheRFCExampleAndChecksTheServerResponse) {
    XMPPDigestMD5Authentication digest("chris", "secret", "elwood.innosoft.com", "OA6MHXh6VqTrRk", "imap");
    EXPECT_EQ(digest.start().attributeStringValueForName("mechanism"), "DIGEST-MD5");
    const auto answer =
        digest.handleAuth(saslElement("challenge",
                                      "realm=\"elwood.innosoft.com\",nonce=\"OA6MG9tEQGm2hh\",qop=\"auth\","
                                      "algorithm=md5-sess,charset=utf-8"));
    ASSERT_EQ(answer.outcome, Outcome::Continue);
    const auto response = directives(decoded(answer.response));
    EXPECT_EQ(response.value("response"), "d388dad90d4bbd760a152321f2143af7");
    EXPECT_EQ(response.value("digest-uri"), "imap/elwood.innosoft.com");
    EXPECT_EQ(response.value("username"), "chris");

    const auto check =
        digest.handleAuth(saslElement("challenge", "rspauth=ea40f60335c427b5527b84dbabcdfffd"));
    EXPECT_EQ(check.outcome, Outcome::Continue);
    EXPECT_EQ(digest.handleAuth(saslElement("success", {})).outcome, Outcome::Succeeded);
}

TEST(DigestMD5, FailsOnAWrongServerResponse) {
    XMPPDigestMD5Authentication digest("chris", "secret", "elwood.innosoft.com", "OA6MHXh6VqTrRk", "imap");
    digest.start();
    digest.handleAuth(
        saslElement("challenge", "realm=\"elwood.innosoft.com\",nonce=\"OA6MG9tEQGm2hh\",qop=\"auth\""));
    EXPECT_EQ(digest.handleAuth(saslElement("success", "rspauth=00000000000000000000000000000000")).outcome,
              Outcome::Failed);
}

TEST(Plain, SendsTheSASLpreparedNameAndPassword) {
    XMPPPlainAuthentication plain("user", QStringLiteral("pass\u00ADword"));
    EXPECT_EQ(decoded(plain.start()), QByteArray("\0user\0password", 14));
    EXPECT_EQ(plain.handleAuth(saslElement("success", {})).outcome, Outcome::Succeeded);
    EXPECT_EQ(plain.handleAuth(saslElement("failure", {})).outcome, Outcome::Failed);
    EXPECT_TRUE(XMPPPlainAuthentication("user", QStringLiteral("bell\u0007")).start().isNull());
}

TEST(LegacyAuthentication, AsksForTheFieldsThenSendsADigestWithTheResource) {
    XMPPLegacyAuthentication legacy("user", "secret", "phone", "stream-1");
    const XMLElement get = legacy.start();
    EXPECT_EQ(get.compactXMLString(),
              "<iq type=\"get\" id=\"auth1\"><query "
              "xmlns=\"jabber:iq:auth\"><username>user</username></query></iq>");
    const auto credentials = legacy.handleAuth(XMPPParser::elementWithXMLString(
        "<iq type='result' id='auth1'><query "
        "xmlns='jabber:iq:auth'><username/><digest/><resource/></query></iq>"));
    EXPECT_EQ(credentials.outcome, Outcome::Continue);
    EXPECT_EQ(credentials.response.compactXMLString(),
              "<iq type=\"set\" id=\"auth2\"><query xmlns=\"jabber:iq:auth\"><username>user</username>"
              "<digest>" +
                  QCryptographicHash::hash("stream-1secret", QCryptographicHash::Sha1).toHex() +
                  "</digest><resource>phone</resource></query></iq>");
    EXPECT_FALSE(legacy.needsResourceBinding());
    EXPECT_EQ(legacy.handleAuth(XMPPParser::elementWithXMLString("<iq type='result' id='auth2'/>")).outcome,
              Outcome::Succeeded);
}

TEST(LegacyAuthentication, FailsOnAnErrorAnswer) {
    XMPPLegacyAuthentication legacy("user", "secret", "phone", "stream-1");
    legacy.start();
    EXPECT_EQ(legacy.handleAuth(XMPPParser::elementWithXMLString("<iq type='error' id='auth1'/>")).outcome,
              Outcome::Failed);
}

}  // namespace
}  // namespace tovrin::xmpp
