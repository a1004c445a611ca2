#pragma once

#include <QString>

#include "Authentication/SessionCredentials.h"

namespace tovrin {

// What sign-in, sign-up, renewal and the account changes answer: the member and the new tokens.
class SessionInfo final {
public:
    SessionInfo(QString profileID, SessionCredentials credentials)
        : profileID_(std::move(profileID)), credentials_(std::move(credentials)) {}

    const QString& profileID() const { return profileID_; }
    const SessionCredentials& credentials() const { return credentials_; }

private:
    QString profileID_;
    SessionCredentials credentials_;
};

}  // namespace tovrin
