#include "Chat/SavedPhrasesManager.h"

#include <QJsonObject>

#include "Chat/SavedPhrasesJSONMapper.h"
#include "Chat/SavedPhrasesService.h"
#include "Persistence/TovrinPersistence.h"

namespace tovrin {

SavedPhrasesManager::SavedPhrasesManager(std::shared_ptr<TovrinPersistence> tovrinPersistence,
                                         std::shared_ptr<SavedPhrasesService> savedPhrasesService) {
    state_->tovrinPersistence = std::move(tovrinPersistence);
    state_->savedPhrasesService = std::move(savedPhrasesService);
    if (!state_->tovrinPersistence) return;
    state_->tovrinPersistence->getSavedPhrases().then(
        [state = std::weak_ptr(state_)](const std::optional<QStringList>& stored) {
            const auto kept = state.lock();
            if (!kept || !stored) return;
            for (const QString& phrase : *stored) {
                if (!kept->phrases.contains(phrase)) kept->phrases.append(phrase);
            }
            // Texts added meanwhile were written without the stored ones, which would be lost.
            if (kept->phrases != *stored) kept->save();
        });
}

bool SavedPhrasesManager::addSavedPhrase(const QString& phrase) {
    if (state_->phrases.contains(phrase)) return false;
    state_->phrases.prepend(phrase);
    state_->save();
    if (state_->savedPhrasesService) {
        state_->savedPhrasesService->saveSavedPhrases(phrase).then(
            [state = std::weak_ptr(state_), phrase](const QJsonValue& answer) {
                if (const auto kept = state.lock()) kept->created(phrase, answer);
            });
    }
    return true;
}

void SavedPhrasesManager::deleteSavedPhrases(const QStringList& phrases) {
    QList<SavedPhrase> deleted;
    for (const QString& phrase : phrases) {
        state_->phrases.removeAll(phrase);
        const auto found = state_->records.find(phrase);
        if (found == state_->records.end()) continue;
        deleted.append(found->second);
        state_->records.erase(found);
    }
    state_->save();
    if (!deleted.isEmpty() && state_->savedPhrasesService)
        state_->savedPhrasesService->deleteSavedPhrases(deleted);
}

void SavedPhrasesManager::initialServerRetrieval(const QList<SavedPhrase>& savedPhrases) {
    state_->records.clear();
    state_->phrases.clear();
    for (const SavedPhrase& record : savedPhrases) {
        state_->records.try_emplace(record.phrase(), record);
        if (!state_->phrases.contains(record.phrase())) state_->phrases.prepend(record.phrase());
    }
    state_->save();
}

std::optional<SavedPhrase> SavedPhrasesManager::savedPhraseForText(const QString& phrase) const {
    const auto found = state_->records.find(phrase);
    if (found == state_->records.end()) return std::nullopt;
    return found->second;
}

// The store's answer is not awaited; a failed write leaves the list in memory as it is.
void SavedPhrasesManager::State::save() const {
    if (tovrinPersistence) tovrinPersistence->saveSavedPhrases(phrases);
}

void SavedPhrasesManager::State::created(const QString& phrase, const QJsonValue& answer) {
    const std::optional<QString> phraseID =
        SavedPhrasesJSONMapper::phraseIDFromJSON(answer.toObject().value(QStringLiteral("phraseId")));
    if (!phraseID) return;
    if (!phrases.contains(phrase)) {
        if (savedPhrasesService) savedPhrasesService->deleteSavedPhrase(*phraseID);
        return;
    }
    records.try_emplace(phrase, SavedPhrase(*phraseID, phrase, std::nullopt));
}

}  // namespace tovrin
