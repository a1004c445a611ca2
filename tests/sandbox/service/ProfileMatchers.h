#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <algorithm>
#include <functional>

namespace tovrin::test {

// Whether a profile, as the service returns it, is one a grid filter describes.
using ProfileMatch = std::function<bool(const QJsonObject&)>;

// The codes a member holds: one code or a list of them.
inline QList<qint64> codesOf(const QJsonObject& profile, const char* member) {
    QList<qint64> values;
    const QJsonValue value = profile.value(QLatin1String(member));
    if (value.isDouble()) values << value.toInteger();
    for (const QJsonValue& code : value.toArray()) values << code.toInteger();
    return values;
}

inline ProfileMatch anyOf(const char* member, QList<qint64> wanted) {
    return [=](const QJsonObject& profile) {
        const QList<qint64> held = codesOf(profile, member);
        if (held.isEmpty()) return wanted.contains(-1);  // "Not Specified"
        return std::any_of(held.begin(), held.end(), [&](qint64 code) { return wanted.contains(code); });
    };
}

inline ProfileMatch within(const char* member, double lowest, double highest) {
    return [=](const QJsonObject& profile) {
        const QJsonValue value = profile.value(QLatin1String(member));
        return value.isDouble() && value.toDouble() >= lowest && value.toDouble() <= highest;
    };
}

}  // namespace tovrin::test
