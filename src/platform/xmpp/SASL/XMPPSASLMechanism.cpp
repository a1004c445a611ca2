#include "platform/xmpp/SASL/XMPPSASLMechanism.h"

#include "platform/xmpp/XMPPNamespaces.h"

namespace tovrin::xmpp {

namespace {

std::optional<QByteArray> decodedData(const XMLElement& element) {
    const QByteArray text = element.stringValue().trimmed().toLatin1();
    // "=" stands for data that is present and empty.
    if (text.isEmpty() || text == "=") return QByteArray();
    auto result = QByteArray::fromBase64Encoding(text, QByteArray::AbortOnBase64DecodingErrors);
    if (!result) return std::nullopt;
    return *result;
}

}  // namespace

XMPPSASLAuthentication::Step XMPPSASLMechanism::handleAuth(const XMLElement& element) {
    if (element.xmlns() != XMPPSASLNamespace) return fail();
    const QString name = element.name();
    if (name != QLatin1String("challenge") && name != QLatin1String("success")) return fail();
    std::optional<QByteArray> data = decodedData(element);
    if (!data) return {Outcome::Failed, XMLElement(QStringLiteral("abort"), XMPPSASLNamespace)};
    return name == QLatin1String("challenge") ? handleChallenge(*data) : handleSuccess(*data);
}

XMLElement XMPPSASLMechanism::authElement(const QByteArray& initialResponse) const {
    XMLElement auth(QStringLiteral("auth"), XMPPSASLNamespace);
    auth.addAttributeWithName(QStringLiteral("mechanism"), mechanismName());
    auth.setStringValue(initialResponse.isEmpty() ? QStringLiteral("=")
                                                  : QString::fromLatin1(initialResponse.toBase64()));
    return auth;
}

XMLElement XMPPSASLMechanism::responseElement(const QByteArray& data) {
    XMLElement response(QStringLiteral("response"), XMPPSASLNamespace);
    if (!data.isEmpty()) response.setStringValue(QString::fromLatin1(data.toBase64()));
    return response;
}

XMPPSASLAuthentication::Step XMPPSASLMechanism::fail() {
    return {Outcome::Failed, {}};
}

XMPPSASLAuthentication::Step XMPPSASLMechanism::send(const XMLElement& response) {
    return {Outcome::Continue, response};
}

}  // namespace tovrin::xmpp
