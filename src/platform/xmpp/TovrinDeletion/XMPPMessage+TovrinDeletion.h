#pragma once

#include <QStringList>
#include <optional>

#include "platform/xmpp/XMPPMessage.h"

namespace tovrin::xmpp {

// The deletion marker: a message to the member's own address recording on the server which
// messages of one conversation the member deleted.
//   <message to='own@domain'><delete xmlns='urn:tovrin:delete-marker:0' jid='partner@domain'>
//     <id>m1</id><id>m2</id></delete></message>

// A message without type or id, to `user`, listing the ids in the order given.
XMPPMessage messageWithDeletionMarkersForMessageIDs(const QStringList& messageIDs, const XMPPJID& user,
                                                    const XMPPJID& exchangedWithUser);

// Any child in the deletion-marker namespace counts, whatever its name.
bool isDeletionMessage(const XMPPMessage& message);
// The texts of the marker element's `id` children, in document order.
QStringList deletedMessageIDs(const XMPPMessage& message);
// The partner named by the marker's "jid"; none when the attribute is missing or no address.
std::optional<XMPPJID> deletedMessageTargetUserJID(const XMPPMessage& message);
// The first child in the deletion-marker namespace, or a null element.
XMLElement deletionMarkerElement(const XMPPMessage& message);

}  // namespace tovrin::xmpp
