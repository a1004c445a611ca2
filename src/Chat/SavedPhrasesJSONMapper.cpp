#include "Chat/SavedPhrasesJSONMapper.h"

#include <cmath>

namespace tovrin {

std::optional<QString> SavedPhrasesJSONMapper::phraseIDFromJSON(const QJsonValue& value) {
    if (value.isString()) return value.toString();
    if (!value.isDouble()) return std::nullopt;
    const double number = value.toDouble();
    // Beyond 2^53 a number no longer names one integer.
    if (std::trunc(number) != number || std::fabs(number) > 9007199254740992.0) return std::nullopt;
    return QString::number(qint64(number));
}

QList<SavedPhrase> SavedPhrasesJSONMapper::savedPhrasesWithJSONDictionary(const QJsonObject& phrases) const {
    QList<SavedPhrase> records;
    for (const QJsonValue& entry : phrases) {
        const QJsonObject fields = entry.toObject();
        const std::optional<QString> phraseID = phraseIDFromJSON(fields.value(QStringLiteral("phraseId")));
        const QJsonValue text = fields.value(QStringLiteral("phraseText"));
        if (!phraseID || !text.isString()) continue;
        const QJsonValue timestamp = fields.value(QStringLiteral("timestamp"));
        records.append(
            SavedPhrase(*phraseID, text.toString(),
                        timestamp.isDouble() ? std::optional(timestamp.toDouble()) : std::nullopt));
    }
    return records;
}

}  // namespace tovrin
