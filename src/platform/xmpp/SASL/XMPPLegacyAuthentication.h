#pragma once

#include "platform/xmpp/SASL/XMPPSASLAuthentication.h"

namespace tovrin::xmpp {

// The non-SASL sign-in (jabber:iq:auth) for servers that offer nothing else. It binds the
// resource itself, so no binding follows. The password goes as a digest when the server takes one.
class XMPPLegacyAuthentication : public XMPPSASLAuthentication {
public:
    XMPPLegacyAuthentication(QString username, QString password, QString resource, QString streamID);

    QString mechanismName() const override { return QStringLiteral("jabber:iq:auth"); }
    XMLElement start() override;
    Step handleAuth(const XMLElement& element) override;
    bool needsResourceBinding() const override { return false; }

private:
    XMLElement credentials(bool asDigest) const;

    const QString username_;
    const QString password_;
    const QString resource_;
    const QString streamID_;
    bool hasSentCredentials_ = false;
};

}  // namespace tovrin::xmpp
