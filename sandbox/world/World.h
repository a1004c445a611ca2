#pragma once

#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QString>
#include <functional>
#include <map>
#include <optional>

#include "platform/foundation/Date.h"
#include "sandbox/world/Member.h"

namespace tovrin::sandbox {

// An announcement to every member.
struct Broadcast {
    QString messageID;
    QString title;
    QString body;
    QString actionTitle;
    QString dismissTitle;
    Date expirationDate;
    QString url;
};

// A member's report of another.
struct Report {
    QString reporterID;
    QString reportedID;
    int reason = 0;
    QString comment;
};

// The state of the sandbox's service: its members with their sessions, announcements, reports,
// photos awaiting moderation, the switch that declares the client deprecated and the option lists
// the admin interface put in place of the standard ones. Plain data with lookups; the endpoints hold
// the rules. Main thread only.
class World {
public:
    Member& addMember(Member member);
    // A profile id no member has had yet.
    QString nextProfileID();
    void removeMember(const QString& profileID);

    Member* member(const QString& profileID);
    // E-mail addresses compare without regard to case.
    Member* memberWithEmail(const QString& email);
    const std::map<QString, Member>& members() const { return members_; }
    std::map<QString, Member>& members() { return members_; }

    // A new session token for the member; earlier ones stay valid.
    QString startSession(const QString& profileID);
    Member* memberForSessionToken(const QString& token);
    void endSessions(const QString& profileID);

    // Whether either member blocked the other.
    bool isBlockedBetween(const QString& first, const QString& second) const;

    bool isClientDeprecated() const { return clientDeprecated_; }
    void setClientDeprecated(bool deprecated) { clientDeprecated_ = deprecated; }

    // What "/v3/managed-fields" serves: the "fields" object the admin interface gave, or the
    // standard lists when none.
    QJsonObject managedFieldsJSON() const;
    void setManagedFields(const std::optional<QJsonObject>& fields) { managedFields_ = fields; }

    QList<Broadcast>& broadcasts() { return broadcasts_; }
    QList<Report>& reports() { return reports_; }
    // Uploaded profile photos awaiting a decision: media hash to the uploader's profile id.
    QMap<QString, QString>& photosAwaitingModeration() { return photosAwaitingModeration_; }

    static QString randomToken();

private:
    std::map<QString, Member> members_;
    QMap<QString, QString> sessions_;  // token to profile id
    quint64 lastProfileID_ = 100000;
    bool clientDeprecated_ = false;
    std::optional<QJsonObject> managedFields_;
    QList<Broadcast> broadcasts_;
    QList<Report> reports_;
    QMap<QString, QString> photosAwaitingModeration_;
};

}  // namespace tovrin::sandbox
