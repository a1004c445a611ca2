#include "Authentication/AuthResponseParser.h"

#include <limits>

namespace tovrin {

namespace {

QString textOf(const QJsonValue& value) {
    if (value.isString()) return value.toString();
    if (!value.isDouble()) return QString();
    const qint64 integer = value.toInteger(std::numeric_limits<qint64>::min());
    if (integer != std::numeric_limits<qint64>::min()) return QString::number(integer);
    return QString::number(value.toDouble(), 'g', std::numeric_limits<double>::max_digits10);
}

}  // namespace

AuthResponseParser::AuthResponseParser(const QJsonObject& responseDictionary)
    : profileID_(textOf(responseDictionary.value(QStringLiteral("profileId")))),
      sessionToken_(responseDictionary.value(QStringLiteral("sessionId")).toString()),
      xmppToken_(responseDictionary.value(QStringLiteral("xmppToken")).toString()) {}

std::optional<SessionInfo> AuthResponseParser::sessionInfo() const {
    if (profileID_.isEmpty() || sessionToken_.isEmpty() || xmppToken_.isEmpty()) return std::nullopt;
    return SessionInfo(profileID_, SessionCredentials(sessionToken_, xmppToken_));
}

}  // namespace tovrin
