#pragma once

#include <QDate>
#include <QList>
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>

#include "platform/foundation/Coordinate.h"
#include "platform/foundation/Date.h"

namespace tovrin::sandbox {

// A phrase a member saved on the service.
struct SavedPhrase {
    QString phraseID;
    QString text;
    double timestamp = 0;  // milliseconds since 1970
};

// A moderation notice waiting for the member's next fetch.
struct SystemMessage {
    QString messageID;
    QString type;
    QString message;
    QString mediaHash;
};

// One member of the sandbox's world: account, profile, position and what the member keeps on the
// service.
struct Member {
    QString profileID;  // decimal digits; also the member's chat user name
    QString email;
    QString password;
    Date birthday;
    bool optIn = false;

    QString displayName;
    QString aboutMe;
    bool showAge = true;
    bool showDistance = true;
    std::optional<double> heightInCm;
    std::optional<double> weightInGrams;
    std::optional<int> bodyType;
    std::optional<int> ethnicity;
    std::optional<int> relationshipStatus;
    QList<int> lookingFor;
    QList<int> tribes;
    QMap<QString, QString> socialNetworks;  // network name ("twitter", …) to user id
    QString mediaHash;                      // the public photo; empty for none
    Coordinate position;
    Date lastSeen;

    bool isAnswering = false;  // a member the sandbox runs, who answers chats
    bool isBanned = false;
    QString xmppToken;  // the member's chat password
    QStringList favorites;
    QSet<QString> blocks;  // members this member blocked
    QList<SavedPhrase> phrases;
    QStringList chatPhotos;               // media hashes, oldest first
    QMap<QString, QString> pushTokens;    // hexadecimal device token to vendor identifier
    QList<SystemMessage> systemMessages;  // not fetched yet
    QDate profilePhotoDay;
    int profilePhotosThatDay = 0;

    // Whole years from the birthday to `now`.
    int age(Date now) const;
    // Seen in the last 10 minutes.
    bool isOnline(Date now) const;
};

}  // namespace tovrin::sandbox
