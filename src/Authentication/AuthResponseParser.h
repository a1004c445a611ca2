#pragma once

#include <QJsonObject>
#include <QString>
#include <optional>

#include "Authentication/SessionInfo.h"

namespace tovrin {

// Reads a session response {"profileId", "sessionId", "xmppToken"}. A numeric profile id reads as
// its decimal digits; a missing value, or one of another type, reads as an empty text.
class AuthResponseParser {
public:
    explicit AuthResponseParser(const QJsonObject& responseDictionary);

    const QString& profileID() const { return profileID_; }
    const QString& sessionToken() const { return sessionToken_; }
    const QString& xmppToken() const { return xmppToken_; }

    // The member and tokens of the response; nothing unless all three values are there.
    std::optional<SessionInfo> sessionInfo() const;

private:
    QString profileID_;
    QString sessionToken_;
    QString xmppToken_;
};

}  // namespace tovrin
