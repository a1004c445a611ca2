#include "platform/xmpp/XEP-0333/XMPPChatMarkerMessage.h"

#include "platform/xmpp/XEP-0333/XMPPMessage+ChatMarkers.h"
#include "platform/xmpp/XEP-0334/XMPPMessage+ProcessingHints.h"

namespace tovrin::xmpp {

namespace {

XMPPMessage markerMessage(const XMPPJID& to, void (*addMarker)(XMPPMessage&, const QString&),
                          const QString& messageID) {
    XMPPMessage message;
    message.setTo(to);
    addMarker(message, messageID);
    addStoreHint(message);
    return message;
}

}  // namespace

XMPPMessage receivedChatMarkerMessage(const XMPPJID& to, const QString& messageID) {
    return markerMessage(to, addReceivedChatMarkerWithID, messageID);
}

XMPPMessage displayedChatMarkerMessage(const XMPPJID& to, const QString& messageID) {
    return markerMessage(to, addDisplayedChatMarkerWithID, messageID);
}

}  // namespace tovrin::xmpp
