#pragma once

#include <QHash>
#include <QString>

namespace tovrin {

// The tokens the web service issues at sign-in: the session token for web requests and the chat
// token, the chat server's password. Kept in memory only.
class SessionCredentials final {
public:
    SessionCredentials(QString sessionToken, QString xmppToken)
        : sessionToken_(std::move(sessionToken)), xmppToken_(std::move(xmppToken)) {}

    const QString& sessionToken() const { return sessionToken_; }
    const QString& xmppToken() const { return xmppToken_; }

    friend bool operator==(const SessionCredentials&, const SessionCredentials&) = default;
    size_t hash() const { return qHash(sessionToken_) ^ (qHash(xmppToken_) * 257); }

private:
    QString sessionToken_;
    QString xmppToken_;
};

inline size_t qHash(const SessionCredentials& credentials, size_t = 0) {
    return credentials.hash();
}

}  // namespace tovrin
