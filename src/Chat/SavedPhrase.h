#pragma once

#include <QString>
#include <optional>

namespace tovrin {

// The service's record of one saved phrase. Immutable.
class SavedPhrase {
public:
    SavedPhrase(QString phraseID, QString phrase, std::optional<double> timestamp)
        : phraseID_(std::move(phraseID)), phrase_(std::move(phrase)), timestamp_(timestamp) {}

    const QString& phraseID() const { return phraseID_; }
    const QString& phrase() const { return phrase_; }
    // As the service gave it; nothing for a record made from the answer to a create. Unused.
    const std::optional<double>& timestamp() const { return timestamp_; }

private:
    QString phraseID_;
    QString phrase_;
    std::optional<double> timestamp_;
};

}  // namespace tovrin
