#include "platform/xmpp/XEP-0333/XMPPMessage+ChatMarkers.h"

namespace tovrin::xmpp {

namespace {

void addMarker(XMPPMessage& message, const QString& name, const QString& messageID) {
    XMLElement marker(name, XMPPChatMarkersNamespace);
    marker.addAttributeWithName(QStringLiteral("id"), messageID);
    message.addChild(marker);
}

bool hasMarker(const XMPPMessage& message, const char* name) {
    return !message.elementForName(QLatin1String(name), XMPPChatMarkersNamespace).isNull();
}

}  // namespace

void addMarkableChatMarker(XMPPMessage& message) {
    message.addChild(XMLElement(QStringLiteral("markable"), XMPPChatMarkersNamespace));
}

void addReceivedChatMarkerWithID(XMPPMessage& message, const QString& messageID) {
    addMarker(message, QStringLiteral("received"), messageID);
}

void addDisplayedChatMarkerWithID(XMPPMessage& message, const QString& messageID) {
    addMarker(message, QStringLiteral("displayed"), messageID);
}

void addAcknowledgedChatMarkerWithID(XMPPMessage& message, const QString& messageID) {
    addMarker(message, QStringLiteral("acknowledged"), messageID);
}

XMLElement chatMarker(const XMPPMessage& message) {
    const QList<XMLElement> markers = message.elementsForXmlns(XMPPChatMarkersNamespace);
    return markers.isEmpty() ? XMLElement() : markers.last();
}

QString chatMarkerID(const XMPPMessage& message) {
    return chatMarker(message).attributeStringValueForName(QStringLiteral("id"));
}

bool hasChatMarker(const XMPPMessage& message) {
    return !chatMarker(message).isNull();
}

bool hasMarkableChatMarker(const XMPPMessage& message) {
    return hasMarker(message, "markable");
}

bool hasReceivedChatMarker(const XMPPMessage& message) {
    return hasMarker(message, "received");
}

bool hasDisplayedChatMarker(const XMPPMessage& message) {
    return hasMarker(message, "displayed");
}

bool hasAcknowledgedChatMarker(const XMPPMessage& message) {
    return hasMarker(message, "acknowledged");
}

}  // namespace tovrin::xmpp
