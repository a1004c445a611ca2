#pragma once

#include <memory>
#include <vector>

#include "API/PersistenceFallBackInfo.h"
#include "Chat/ConversationSummary.h"

namespace tovrin {

// One page of conversation summaries, in the source's order, and where it came from.
class ConversationSummaryManagerLoadResponse {
public:
    explicit ConversationSummaryManagerLoadResponse(
        std::vector<std::shared_ptr<ConversationSummary>> conversationSummaries = {},
        PersistenceFallBackInfo persistenceFallBackInfo = PersistenceFallBackInfo(false, 0))
        : conversationSummaries_(std::move(conversationSummaries)),
          persistenceFallBackInfo_(persistenceFallBackInfo) {}

    const std::vector<std::shared_ptr<ConversationSummary>>& conversationSummaries() const {
        return conversationSummaries_;
    }
    PersistenceFallBackInfo persistenceFallBackInfo() const { return persistenceFallBackInfo_; }

private:
    std::vector<std::shared_ptr<ConversationSummary>> conversationSummaries_;
    PersistenceFallBackInfo persistenceFallBackInfo_;
};

}  // namespace tovrin
