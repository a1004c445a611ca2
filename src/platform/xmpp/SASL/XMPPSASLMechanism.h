#pragma once

#include <QByteArray>

#include "platform/xmpp/SASL/XMPPSASLAuthentication.h"

namespace tovrin::xmpp {

// What the SASL mechanisms share: the `auth`, `response` and `abort` elements and the reading
// of the server's `challenge`, `success` and `failure`.
class XMPPSASLMechanism : public XMPPSASLAuthentication {
public:
    Step handleAuth(const XMLElement& element) override;

protected:
    XMLElement authElement(const QByteArray& initialResponse) const;
    static XMLElement responseElement(const QByteArray& data);
    static Step fail();
    static Step send(const XMLElement& response);

    // The decoded data of a challenge, or of a success that carries some.
    virtual Step handleChallenge(const QByteArray& data) = 0;
    virtual Step handleSuccess(const QByteArray& data) = 0;
};

}  // namespace tovrin::xmpp
