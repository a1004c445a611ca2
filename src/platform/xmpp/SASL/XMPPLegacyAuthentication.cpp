#include "platform/xmpp/SASL/XMPPLegacyAuthentication.h"

#include <QCryptographicHash>

#include "platform/xmpp/XMPPIQ.h"
#include "platform/xmpp/XMPPNamespaces.h"

namespace tovrin::xmpp {

namespace {

const QString fieldsID = QStringLiteral("auth1");
const QString credentialsID = QStringLiteral("auth2");

}  // namespace

XMPPLegacyAuthentication::XMPPLegacyAuthentication(QString username, QString password, QString resource,
                                                   QString streamID)
    : username_(std::move(username)),
      password_(std::move(password)),
      resource_(std::move(resource)),
      streamID_(std::move(streamID)) {}

XMLElement XMPPLegacyAuthentication::start() {
    XMLElement query(QStringLiteral("query"), XMPPLegacyAuthNamespace);
    query.addChild(XMLElement::elementWithName(QStringLiteral("username"), username_));
    return XMPPIQ::iqWithType(QStringLiteral("get"), fieldsID, query);
}

XMPPSASLAuthentication::Step XMPPLegacyAuthentication::handleAuth(const XMLElement& element) {
    const XMPPIQ iq(element);
    if (!iq.isIQ() || !iq.isResultIQ()) return {Outcome::Failed, {}};
    if (!hasSentCredentials_ && iq.elementID() == fieldsID) {
        hasSentCredentials_ = true;
        const bool acceptsDigest = !iq.childElement().elementForName(QStringLiteral("digest")).isNull();
        return {Outcome::Continue, credentials(acceptsDigest && !streamID_.isEmpty())};
    }
    if (hasSentCredentials_ && iq.elementID() == credentialsID) return {Outcome::Succeeded, {}};
    return {Outcome::Failed, {}};
}

XMLElement XMPPLegacyAuthentication::credentials(bool asDigest) const {
    XMLElement query(QStringLiteral("query"), XMPPLegacyAuthNamespace);
    query.addChild(XMLElement::elementWithName(QStringLiteral("username"), username_));
    if (asDigest) {
        const QByteArray digest =
            QCryptographicHash::hash((streamID_ + password_).toUtf8(), QCryptographicHash::Sha1).toHex();
        query.addChild(XMLElement::elementWithName(QStringLiteral("digest"), QString::fromLatin1(digest)));
    } else {
        query.addChild(XMLElement::elementWithName(QStringLiteral("password"), password_));
    }
    query.addChild(XMLElement::elementWithName(QStringLiteral("resource"), resource_));
    return XMPPIQ::iqWithType(QStringLiteral("set"), credentialsID, query);
}

}  // namespace tovrin::xmpp
