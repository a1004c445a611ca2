#pragma once

#include <QString>

namespace tovrin {

// The members and type values of the chat body, shared by the stanza builder, its reader and the
// conversations items of the web service.
inline const QString kChatJSONSourceProfileIDKey = QStringLiteral("sourceProfileId");
inline const QString kChatJSONSourceDisplayNameKey = QStringLiteral("sourceDisplayName");
inline const QString kChatJSONTargetProfileIDKey = QStringLiteral("targetProfileId");
inline const QString kChatJSONMessageIdKey = QStringLiteral("messageId");
inline const QString kChatJSONTimestampKey = QStringLiteral("timestamp");
inline const QString kChatJSONTypeKey = QStringLiteral("type");
inline const QString kChatJSONBodyKey = QStringLiteral("body");

inline const QString kChatJSONTypeTextValue = QStringLiteral("text");
inline const QString kChatJSONTypeImageValue = QStringLiteral("image");
inline const QString kChatJSONTypeLocationValue = QStringLiteral("map");
inline const QString kChatJSONTypeBlockValue = QStringLiteral("block");

// Members of the photo and location payloads.
inline const QString kChatJSONImageHashKey = QStringLiteral("imageHash");
inline const QString kChatJSONLatitudeKey = QStringLiteral("lat");
inline const QString kChatJSONLongitudeKey = QStringLiteral("lon");

// Every stanza carries this in place of the sender's display name, which peers never read.
inline const QString kChatJSONSourceDisplayNameValue = QStringLiteral("TEMPORARY_VALUE");

}  // namespace tovrin
