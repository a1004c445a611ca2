#pragma once

#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "Inbox/ConversationSummaryServiceItem.h"
#include "Throttling/ThrottledService.h"
#include "platform/di/Inject.h"
#include "platform/foundation/Date.h"

namespace tovrin {

class AuthenticatedTovrinEndpoint;
class ConversationSummaryServiceItemJSONMapper;
class TovrinWebAPIThrottler;

// The signed-in member's conversations on the service, a page at a time. Failures come as the web
// client and the throttler give them (13 while throttled, 16 without a connection).
class ConversationSummariesService : public ThrottledService {
public:
    ConversationSummariesService(
        std::shared_ptr<TovrinEndpoint> tovrinEndpoint, std::shared_ptr<Throttler> throttler,
        std::shared_ptr<ConversationSummaryServiceItemJSONMapper> conversationSummaryServiceItemJSONMapper);

    using Dependencies =
        Inject<AuthenticatedTovrinEndpoint, TovrinWebAPIThrottler, ConversationSummaryServiceItemJSONMapper>;

    // At most `quantity` conversations whose newest message lies between the bounds given, newest
    // first; items the mapper cannot use are left out.
    virtual Promise<std::vector<std::shared_ptr<ConversationSummaryServiceItem>>>
    retrieveConversationSummaryItemsOlderThan(std::optional<Date> olderThan, std::optional<Date> newerThan,
                                              quint32 quantity);

    // Whole milliseconds since 1970, halves rounded away from zero.
    static QString dateQueryValueFromDate(Date date);

    const std::shared_ptr<ConversationSummaryServiceItemJSONMapper>&
    conversationSummaryServiceItemJSONMapper() const {
        return conversationSummaryServiceItemJSONMapper_;
    }

private:
    std::shared_ptr<ConversationSummaryServiceItemJSONMapper> conversationSummaryServiceItemJSONMapper_;
};

}  // namespace tovrin
