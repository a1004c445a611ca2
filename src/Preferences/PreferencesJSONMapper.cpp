#include "Preferences/PreferencesJSONMapper.h"

namespace tovrin {

Preferences PreferencesJSONMapper::preferencesWithJSONDictionary(const QJsonObject& answer) const {
    const QJsonValue phrases = answer.value(QStringLiteral("phrases"));
    return Preferences(hashesFromChatPix(answer.value(QStringLiteral("chatPix")).toObject()),
                       phrases.isObject() ? std::optional(phrases.toObject()) : std::nullopt);
}

QStringList PreferencesJSONMapper::hashesFromChatPix(const QJsonObject& chatPix) const {
    QStringList hashes;
    for (const QJsonValue& entry : chatPix) {
        const QJsonValue mediaHash = entry.toObject().value(QStringLiteral("mediaHash"));
        if (mediaHash.isString()) hashes.append(mediaHash.toString());
    }
    return hashes;
}

}  // namespace tovrin
