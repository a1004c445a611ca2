#include "Inbox/ConversationSummariesService.h"

#include <QJsonArray>
#include <QJsonObject>
#include <cmath>

#include "API/AuthenticatedTovrinEndpoint.h"
#include "API/TovrinAPIRequest.h"
#include "Categories/Date+Milliseconds.h"
#include "Inbox/ConversationSummaryServiceItemJSONMapper.h"
#include "Throttling/TovrinWebAPIThrottler.h"
#include "platform/foundation/Numbers.h"

namespace tovrin {

ConversationSummariesService::ConversationSummariesService(
    std::shared_ptr<TovrinEndpoint> tovrinEndpoint, std::shared_ptr<Throttler> throttler,
    std::shared_ptr<ConversationSummaryServiceItemJSONMapper> conversationSummaryServiceItemJSONMapper)
    : ThrottledService(std::move(tovrinEndpoint), std::move(throttler)),
      conversationSummaryServiceItemJSONMapper_(std::move(conversationSummaryServiceItemJSONMapper)) {}

Promise<std::vector<std::shared_ptr<ConversationSummaryServiceItem>>>
ConversationSummariesService::retrieveConversationSummaryItemsOlderThan(std::optional<Date> olderThan,
                                                                        std::optional<Date> newerThan,
                                                                        quint32 quantity) {
    URLQueryItems items{{QStringLiteral("quantity"), QString::number(quantity)}};
    if (olderThan) items.append({QStringLiteral("olderThan"), dateQueryValueFromDate(*olderThan)});
    if (newerThan) items.append({QStringLiteral("newerThan"), dateQueryValueFromDate(*newerThan)});
    auto request = TovrinAPIRequest::GETRequestWithPath(QStringLiteral("/v3/me/conversations"), items);
    return JSONWithRequest(std::move(request))
        .then([mapper = conversationSummaryServiceItemJSONMapper_](const QJsonValue& answer) {
            std::vector<std::shared_ptr<ConversationSummaryServiceItem>> conversations;
            for (const QJsonValue& element :
                 answer.toObject().value(QStringLiteral("conversations")).toArray()) {
                if (!element.isObject()) continue;
                if (auto item = mapper->conversationSummaryServiceItemWithJSONDictionary(element.toObject()))
                    conversations.push_back(std::move(item));
            }
            return conversations;
        });
}

QString ConversationSummariesService::dateQueryValueFromDate(Date date) {
    const std::optional<qint64> whole = integerIfInRange(std::round(tvr_millisecondsSince1970(date)));
    return QString::number(whole.value_or(0));
}

}  // namespace tovrin
