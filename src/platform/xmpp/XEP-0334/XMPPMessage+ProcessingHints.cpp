#include "platform/xmpp/XEP-0334/XMPPMessage+ProcessingHints.h"

namespace tovrin::xmpp {

void addStoreHint(XMPPMessage& message) {
    if (!hasStoreHint(message))
        message.addChild(XMLElement(QStringLiteral("store"), XMPPProcessingHintsNamespace));
}

bool hasStoreHint(const XMPPMessage& message) {
    return !message.elementForName(QStringLiteral("store"), XMPPProcessingHintsNamespace).isNull();
}

}  // namespace tovrin::xmpp
