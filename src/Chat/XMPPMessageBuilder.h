#pragma once

#include <QJsonObject>
#include <QString>

#include "platform/foundation/Date.h"
#include "platform/xmpp/XMPPMessage.h"

namespace tovrin {

// Writes the chat stanzas of the three kinds a member sends: a `message` of type "chat" to
// "profileID@domain" whose `body` is the chat body JSON. The caller adds the "markable" marker.
class XMPPMessageBuilder {
public:
    static xmpp::XMPPMessage xmppMessageWithText(const QString& messageID, const QString& text,
                                                 const QString& fromUserProfileID,
                                                 const QString& toUserProfileID, const QString& domain,
                                                 Date date);
    static xmpp::XMPPMessage xmppMessageWithImageMediaHash(const QString& messageID,
                                                           const QString& imageMediaHash,
                                                           const QString& fromUserProfileID,
                                                           const QString& toUserProfileID,
                                                           const QString& domain, Date date);
    static xmpp::XMPPMessage xmppMessageWithLocation(const QString& messageID, double latitude,
                                                     double longitude, const QString& fromUserProfileID,
                                                     const QString& toUserProfileID, const QString& domain,
                                                     Date date);
    // The stanza around a finished body object.
    static xmpp::XMPPMessage xmppMessageWithBodyDictionary(const QString& messageID,
                                                           const QString& toProfileID, const QString& domain,
                                                           const QJsonObject& tovrinBodyDictionary);

    // Milliseconds since 1970, halves rounded away from zero. Dates before 1970 (and NaN) give 0;
    // dates beyond the unsigned 64-bit range give its largest value.
    static quint64 timestampForDate(Date date);
};

}  // namespace tovrin
