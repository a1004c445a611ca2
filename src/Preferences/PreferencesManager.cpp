#include "Preferences/PreferencesManager.h"

#include "Authentication/UserSession.h"
#include "Chat/SavedPhrasesJSONMapper.h"
#include "Chat/SavedPhrasesManager.h"
#include "Chat/UserImageHashManager.h"
#include "Preferences/PreferencesService.h"

namespace tovrin {

namespace {

// The session that is signed in now, if it is still the one of the generation.
std::shared_ptr<UserSession> activeSession(
    std::optional<SessionGeneration::Stamp> generation = std::nullopt) {
    const std::shared_ptr<UserSession> session = UserSession::sharedSession();
    if (!session || !session->isSessionActive()) return nullptr;
    if (generation && session->currentSessionGeneration() != *generation) return nullptr;
    return session;
}

}  // namespace

PreferencesManager::PreferencesManager(std::shared_ptr<PreferencesService> preferencesService)
    : preferencesService_(std::move(preferencesService)) {}

void PreferencesManager::retrievePreferences() {
    const std::shared_ptr<UserSession> session = activeSession();
    if (!session || !preferencesService_) return;
    const SessionGeneration::Stamp generation = session->currentSessionGeneration();
    if (cachedPreferencesPromise_ && cachedGeneration_ == generation) return;
    cachedGeneration_ = generation;
    cachedPreferencesPromise_ =
        preferencesService_->retrievePreferences()
            .then([generation](const Preferences& preferences) {
                const std::shared_ptr<UserSession> session = activeSession(generation);
                if (!session) return;
                if (const auto savedPhrasesManager = session->savedPhrasesManager()) {
                    savedPhrasesManager->initialServerRetrieval(
                        SavedPhrasesJSONMapper().savedPhrasesWithJSONDictionary(
                            preferences.phrases().value_or(QJsonObject())));
                }
                if (const auto userImageHashManager = session->userImageHashManager())
                    userImageHashManager->addImageHashes(preferences.chatPix());
            })
            .catchError(
                std::weak_ptr(shared_from_this()),
                [generation](PreferencesManager& manager, const Error&) { manager.forget(generation); });
}

void PreferencesManager::forget(SessionGeneration::Stamp generation) {
    if (cachedGeneration_ != generation) return;
    cachedGeneration_.reset();
    cachedPreferencesPromise_ = Promise<void>();
}

}  // namespace tovrin
