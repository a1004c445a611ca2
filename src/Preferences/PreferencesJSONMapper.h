#pragma once

#include <QJsonObject>
#include <QStringList>

#include "Preferences/Preferences.h"

namespace tovrin {

// Reads the answer of GET "/v3/me/prefs". No state.
class PreferencesJSONMapper {
public:
    Preferences preferencesWithJSONDictionary(const QJsonObject& answer) const;
    // The "mediaHash" of every value, in the object's own member order; values without a string
    // "mediaHash" are skipped.
    QStringList hashesFromChatPix(const QJsonObject& chatPix) const;
};

}  // namespace tovrin
