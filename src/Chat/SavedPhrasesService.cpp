#include "Chat/SavedPhrasesService.h"

#include <QJsonObject>

#include "API/AuthenticatedTovrinEndpoint.h"
#include "API/TovrinAPIRequest.h"
#include "API/TovrinServiceError.h"
#include "Chat/SavedPhrasesJSONMapper.h"
#include "Throttling/TovrinWebAPIThrottler.h"
#include "platform/foundation/URLPathSegment.h"

namespace tovrin {

namespace {

const QString phrasesPath = QStringLiteral("/v3/me/prefs/phrases");

}  // namespace

SavedPhrasesService::SavedPhrasesService(std::shared_ptr<TovrinEndpoint> tovrinEndpoint,
                                         std::shared_ptr<Throttler> throttler,
                                         std::shared_ptr<SavedPhrasesJSONMapper> savedPhrasesJSONMapper)
    : ThrottledService(std::move(tovrinEndpoint), std::move(throttler)),
      savedPhrasesJSONMapper_(std::move(savedPhrasesJSONMapper)) {}

Promise<QJsonValue> SavedPhrasesService::saveSavedPhrases(const QString& phrase) {
    return JSONWithRequest(
        TovrinAPIRequest::POSTRequestWithPath(phrasesPath, std::nullopt, QJsonObject{{"phrase", phrase}}));
}

Promise<QJsonValue> SavedPhrasesService::deleteSavedPhrase(const QString& phraseID) {
    const std::optional<QString> path = URLPathByAppendingSegment(phrasesPath, phraseID);
    if (!path) return Promise<QJsonValue>::rejected(tovrinServiceError(TovrinServiceErrorGeneric));
    return JSONWithRequest(TovrinAPIRequest::DELETERequestWithPath(*path, std::nullopt, std::nullopt));
}

Promise<std::vector<QJsonValue>> SavedPhrasesService::deleteSavedPhrases(
    const QList<SavedPhrase>& savedPhrases) {
    std::vector<Promise<QJsonValue>> deletions;
    for (const SavedPhrase& record : savedPhrases) deletions.push_back(deleteSavedPhrase(record.phraseID()));
    return when(deletions);
}

}  // namespace tovrin
