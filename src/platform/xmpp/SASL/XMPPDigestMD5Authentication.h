#pragma once

#include <QByteArray>
#include <QMap>

#include "platform/xmpp/SASL/XMPPSASLMechanism.h"

namespace tovrin::xmpp {

// SASL DIGEST-MD5 (RFC 2831), "auth" quality of protection. The server's "rspauth" is checked.
class XMPPDigestMD5Authentication : public XMPPSASLMechanism {
public:
    // An empty client nonce is replaced by a random one. The service is "xmpp" for a stream.
    XMPPDigestMD5Authentication(QString username, QString password, QString domain,
                                QByteArray clientNonce = {}, QByteArray service = "xmpp");

    QString mechanismName() const override { return QStringLiteral("DIGEST-MD5"); }
    XMLElement start() override;

protected:
    Step handleChallenge(const QByteArray& data) override;
    Step handleSuccess(const QByteArray& data) override;

private:
    Step answerFirstChallenge(const QMap<QByteArray, QByteArray>& challenge);
    Step checkServerResponse(const QByteArray& responseAuth);

    const QString username_;
    const QString password_;
    const QString domain_;
    QByteArray clientNonce_;
    const QByteArray service_;
    QByteArray realm_;
    QByteArray nonce_;
    QByteArray digestURI_;
    QByteArray expectedResponseAuth_;
    bool hasAnswered_ = false;
    bool hasVerifiedServer_ = false;
};

}  // namespace tovrin::xmpp
