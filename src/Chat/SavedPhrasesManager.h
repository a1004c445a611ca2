#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <map>
#include <memory>

#include "Chat/SavedPhrase.h"
#include "platform/di/Inject.h"

namespace tovrin {

class SavedPhrasesService;
class TovrinPersistence;

// The member's saved phrases: the texts, newest first and without duplicates (compared exactly),
// mirrored whole to the member's store ("SavedPhrases"), and for each text the service's record
// when one is known. One per member session; main thread only.
class SavedPhrasesManager {
public:
    // Starts empty and reads the stored list once: stored texts go behind any added meanwhile, and
    // the merged list is stored.
    SavedPhrasesManager(std::shared_ptr<TovrinPersistence> tovrinPersistence,
                        std::shared_ptr<SavedPhrasesService> savedPhrasesService);

    using Dependencies = Inject<TovrinPersistence, SavedPhrasesService>;

    const QStringList& savedPhrases() const { return state_->phrases; }
    // False, and nothing sent, when the text is listed. Otherwise puts it first, writes the list and
    // asks the service to create it, without waiting: a failed create leaves the text on this device
    // only. An answer for a text the member deleted meanwhile deletes the new record at once, or the
    // phrase would come back with the next takeover.
    bool addSavedPhrase(const QString& phrase);
    // Removes the texts, writes the list, and deletes their known records on the service without
    // waiting (a failed delete brings the phrase back with the next takeover).
    void deleteSavedPhrases(const QStringList& phrases);
    // Takes over the service's list: its distinct texts in the reverse of the given order, each
    // text's first record kept; the list is written once, also when empty.
    void initialServerRetrieval(const QList<SavedPhrase>& savedPhrases);

    // The service's record of the text, if one is known.
    std::optional<SavedPhrase> savedPhraseForText(const QString& phrase) const;

private:
    // Shared with the answers on their way, which may arrive after the manager is gone.
    struct State {
        QStringList phrases;
        std::map<QString, SavedPhrase> records;
        std::shared_ptr<TovrinPersistence> tovrinPersistence;
        std::shared_ptr<SavedPhrasesService> savedPhrasesService;

        void save() const;
        void created(const QString& phrase, const QJsonValue& answer);
    };

    std::shared_ptr<State> state_ = std::make_shared<State>();
};

}  // namespace tovrin
