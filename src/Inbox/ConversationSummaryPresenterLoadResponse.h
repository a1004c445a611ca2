#pragma once

#include "API/PersistenceFallBackInfo.h"

namespace tovrin {

// What a page load tells the inbox list: whether another page is worth asking for, and where the
// page came from.
class ConversationSummaryPresenterLoadResponse {
public:
    explicit ConversationSummaryPresenterLoadResponse(
        bool hasMorePages = false,
        PersistenceFallBackInfo persistenceFallBackInfo = PersistenceFallBackInfo(false, 0))
        : hasMorePages_(hasMorePages), persistenceFallBackInfo_(persistenceFallBackInfo) {}

    bool hasMorePages() const { return hasMorePages_; }
    PersistenceFallBackInfo persistenceFallBackInfo() const { return persistenceFallBackInfo_; }

private:
    bool hasMorePages_;
    PersistenceFallBackInfo persistenceFallBackInfo_;
};

}  // namespace tovrin
