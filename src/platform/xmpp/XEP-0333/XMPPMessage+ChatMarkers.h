#pragma once

#include <QString>

#include "platform/xmpp/XMPPMessage.h"

namespace tovrin::xmpp {

// Chat markers (XEP-0333) on a message.
inline const QString XMPPChatMarkersNamespace = QStringLiteral("urn:xmpp:chat-markers:0");

void addMarkableChatMarker(XMPPMessage& message);
void addReceivedChatMarkerWithID(XMPPMessage& message, const QString& messageID);
void addDisplayedChatMarkerWithID(XMPPMessage& message, const QString& messageID);
void addAcknowledgedChatMarkerWithID(XMPPMessage& message, const QString& messageID);

// The last child element in the chat-markers namespace, or a null element.
XMLElement chatMarker(const XMPPMessage& message);
// The "id" of that element; empty when there is none.
QString chatMarkerID(const XMPPMessage& message);
bool hasChatMarker(const XMPPMessage& message);
bool hasMarkableChatMarker(const XMPPMessage& message);
bool hasReceivedChatMarker(const XMPPMessage& message);
bool hasDisplayedChatMarker(const XMPPMessage& message);
bool hasAcknowledgedChatMarker(const XMPPMessage& message);

}  // namespace tovrin::xmpp
