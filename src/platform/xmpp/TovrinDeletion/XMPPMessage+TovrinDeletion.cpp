#include "platform/xmpp/TovrinDeletion/XMPPMessage+TovrinDeletion.h"

namespace tovrin::xmpp {

namespace {

const QString XMPPMessageDeleteMarkerXMLNS = QStringLiteral("urn:tovrin:delete-marker:0");

}  // namespace

XMPPMessage messageWithDeletionMarkersForMessageIDs(const QStringList& messageIDs, const XMPPJID& user,
                                                    const XMPPJID& exchangedWithUser) {
    XMPPMessage message;
    message.setTo(user);
    XMLElement marker(QStringLiteral("delete"), XMPPMessageDeleteMarkerXMLNS);
    marker.addAttributeWithName(QStringLiteral("jid"), exchangedWithUser.full());
    for (const QString& messageID : messageIDs) {
        marker.addChild(XMLElement::elementWithName(QStringLiteral("id"), messageID));
    }
    message.addChild(marker);
    return message;
}

bool isDeletionMessage(const XMPPMessage& message) {
    return !deletionMarkerElement(message).isNull();
}

QStringList deletedMessageIDs(const XMPPMessage& message) {
    QStringList messageIDs;
    for (const XMLElement& child : deletionMarkerElement(message).elementsForName(QStringLiteral("id"))) {
        messageIDs.append(child.stringValue());
    }
    return messageIDs;
}

std::optional<XMPPJID> deletedMessageTargetUserJID(const XMPPMessage& message) {
    const auto jid = deletionMarkerElement(message).attribute(QStringLiteral("jid"));
    return jid ? XMPPJID::jidWithString(*jid) : std::nullopt;
}

XMLElement deletionMarkerElement(const XMPPMessage& message) {
    return message.elementForXmlns(XMPPMessageDeleteMarkerXMLNS);
}

}  // namespace tovrin::xmpp
