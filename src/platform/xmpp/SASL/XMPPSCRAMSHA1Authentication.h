#pragma once

#include <QByteArray>

#include "platform/xmpp/SASL/XMPPSASLMechanism.h"

namespace tovrin::xmpp {

// SASL SCRAM-SHA-1 (RFC 5802) without channel binding. Succeeds only once the server has
// proved that it knows the password (its signature in the final message).
class XMPPSCRAMSHA1Authentication : public XMPPSASLMechanism {
public:
    // Above this the server's iteration count is refused: it would block the client for long.
    static constexpr int maximumIterationCount = 100000;

    // An empty nonce is replaced by a random one; tests pass a fixed one.
    XMPPSCRAMSHA1Authentication(QString username, QString password, QByteArray clientNonce = {});

    QString mechanismName() const override { return QStringLiteral("SCRAM-SHA-1"); }
    XMLElement start() override;

protected:
    Step handleChallenge(const QByteArray& data) override;
    Step handleSuccess(const QByteArray& data) override;

private:
    Step handleServerFirstMessage(const QByteArray& message);
    Step handleServerFinalMessage(const QByteArray& message);

    const QString username_;
    const QString password_;
    QByteArray clientNonce_;
    QByteArray clientFirstMessageBare_;
    QByteArray expectedServerSignature_;
    bool hasSentProof_ = false;
    bool hasVerifiedServer_ = false;
};

}  // namespace tovrin::xmpp
