#pragma once

#include <QString>

#include "platform/xmpp/XMLElement.h"

namespace tovrin::xmpp {

// One sign-in exchange with the server: the first element to send, then an answer to each
// element the server sends until the exchange succeeds or fails.
class XMPPSASLAuthentication {
public:
    enum class Outcome { Continue, Succeeded, Failed };

    struct Step {
        Outcome outcome = Outcome::Failed;
        // Sent when not null (also alongside a failure, such as an abort).
        XMLElement response;
    };

    virtual ~XMPPSASLAuthentication() = default;

    virtual QString mechanismName() const = 0;
    virtual XMLElement start() = 0;
    virtual Step handleAuth(const XMLElement& element) = 0;
    // Whether success ends with a stream restart and resource binding (every SASL mechanism).
    virtual bool needsResourceBinding() const { return true; }
};

}  // namespace tovrin::xmpp
