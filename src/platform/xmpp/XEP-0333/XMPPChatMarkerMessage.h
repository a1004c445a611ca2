#pragma once

#include <QString>

#include "platform/xmpp/XMPPMessage.h"

namespace tovrin::xmpp {

// A marker message as the chat client sends it: only "to", the marker, and a store hint, since
// servers archive no bodyless message without one and the marker must come back with the history.
XMPPMessage receivedChatMarkerMessage(const XMPPJID& to, const QString& messageID);
XMPPMessage displayedChatMarkerMessage(const XMPPJID& to, const QString& messageID);

}  // namespace tovrin::xmpp
