#pragma once

#include "platform/xmpp/SASL/XMPPSASLMechanism.h"

namespace tovrin::xmpp {

// SASL PLAIN (RFC 4616); the stream offers it only over TLS.
class XMPPPlainAuthentication : public XMPPSASLMechanism {
public:
    XMPPPlainAuthentication(QString username, QString password);

    QString mechanismName() const override { return QStringLiteral("PLAIN"); }
    XMLElement start() override;

protected:
    Step handleChallenge(const QByteArray& data) override;
    Step handleSuccess(const QByteArray& data) override;

private:
    const QString username_;
    const QString password_;
};

}  // namespace tovrin::xmpp
