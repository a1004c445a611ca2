#pragma once

#include <QJsonValue>
#include <QList>
#include <QString>
#include <memory>
#include <vector>

#include "Chat/SavedPhrase.h"
#include "Throttling/ThrottledService.h"
#include "platform/di/Inject.h"

namespace tovrin {

class AuthenticatedTovrinEndpoint;
class SavedPhrasesJSONMapper;
class TovrinWebAPIThrottler;

// Creates and deletes the member's saved phrases on the service. Failures come as the web client
// and the throttler give them.
class SavedPhrasesService : public ThrottledService {
public:
    SavedPhrasesService(std::shared_ptr<TovrinEndpoint> tovrinEndpoint, std::shared_ptr<Throttler> throttler,
                        std::shared_ptr<SavedPhrasesJSONMapper> savedPhrasesJSONMapper);

    using Dependencies = Inject<AuthenticatedTovrinEndpoint, TovrinWebAPIThrottler, SavedPhrasesJSONMapper>;

    // POST "/v3/me/prefs/phrases" with {"phrase": text}; the answer holds the new "phraseId".
    Promise<QJsonValue> saveSavedPhrases(const QString& phrase);
    // DELETE "/v3/me/prefs/phrases/<id>". An id that cannot be one segment of the path (empty, "."
    // or "..") fails with 1 and sends nothing.
    Promise<QJsonValue> deleteSavedPhrase(const QString& phraseID);
    // One delete per record, all started at once; the answers in order, or the first failure.
    Promise<std::vector<QJsonValue>> deleteSavedPhrases(const QList<SavedPhrase>& savedPhrases);

    const std::shared_ptr<SavedPhrasesJSONMapper>& savedPhrasesJSONMapper() const {
        return savedPhrasesJSONMapper_;
    }

private:
    std::shared_ptr<SavedPhrasesJSONMapper> savedPhrasesJSONMapper_;
};

}  // namespace tovrin
