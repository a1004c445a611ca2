#pragma once

#include <QJsonObject>
#include <QString>
#include <optional>

namespace tovrin {

// The e-mail address and password a member signs in with; either may be absent.
class LoginCredentials final {
public:
    static inline const QString ArchiveClassName = QStringLiteral("LoginCredentials");

    LoginCredentials(std::optional<QString> email, std::optional<QString> password)
        : email_(std::move(email)), password_(std::move(password)) {}

    const std::optional<QString>& email() const { return email_; }
    const std::optional<QString>& password() const { return password_; }

    // Archived under "email" and "password".
    QJsonObject encodeWithCoder() const;
    static std::optional<LoginCredentials> decodeWithCoder(const QJsonObject& values);

    friend bool operator==(const LoginCredentials&, const LoginCredentials&) = default;
    size_t hash() const;

private:
    std::optional<QString> email_;
    std::optional<QString> password_;
};

inline size_t qHash(const LoginCredentials& credentials, size_t = 0) {
    return credentials.hash();
}

}  // namespace tovrin
