#include "Authentication/LoginCredentials.h"

#include <QHash>
#include <QJsonValue>

namespace tovrin {

namespace {

QJsonValue encoded(const std::optional<QString>& text) {
    return text ? QJsonValue(*text) : QJsonValue(QJsonValue::Null);
}

// A text, absent (null), or not a valid value at all.
bool decode(const QJsonObject& values, const QString& key, std::optional<QString>* text) {
    const QJsonValue value = values.value(key);
    if (value.isString()) {
        *text = value.toString();
        return true;
    }
    return value.isNull() || value.isUndefined();
}

size_t textHash(const std::optional<QString>& text) {
    return text ? qHash(*text) : 0;
}

}  // namespace

QJsonObject LoginCredentials::encodeWithCoder() const {
    return QJsonObject{{QStringLiteral("email"), encoded(email_)},
                       {QStringLiteral("password"), encoded(password_)}};
}

std::optional<LoginCredentials> LoginCredentials::decodeWithCoder(const QJsonObject& values) {
    std::optional<QString> email;
    std::optional<QString> password;
    if (!decode(values, QStringLiteral("email"), &email) ||
        !decode(values, QStringLiteral("password"), &password)) {
        return std::nullopt;
    }
    return LoginCredentials(email, password);
}

size_t LoginCredentials::hash() const {
    return textHash(email_) ^ (textHash(password_) * 257);
}

}  // namespace tovrin
