#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <optional>

#include "Chat/SavedPhrase.h"

namespace tovrin {

// Reads the "phrases" of the member's server-side preferences. No state.
class SavedPhrasesJSONMapper {
public:
    // One record per entry, in the object's own member order; entries that are no object, or whose
    // "phraseId" or "phraseText" is no string, are skipped (an integer "phraseId" reads as its
    // decimal digits). A "timestamp" that is no number reads as nothing.
    QList<SavedPhrase> savedPhrasesWithJSONDictionary(const QJsonObject& phrases) const;

    // A string as it is, an integer as its decimal digits; nothing for anything else.
    static std::optional<QString> phraseIDFromJSON(const QJsonValue& value);
};

}  // namespace tovrin
