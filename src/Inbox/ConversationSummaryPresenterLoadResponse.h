#pragma once

#include "API/PersistenceFallBackInfo.h"

namespace tovrin {

// What a page load tells the inbox list: whether another page is worth asking for, and where the
// page came from.
class ConversationSummaryPresenterLoadResponse {
public:
    ConversationSummaryPresenterLoadResponse(bool hasMorePages,
                                             PersistenceFallBackInfo persistenceFallBackInfo)
        : hasMorePages_(hasMorePages), persistenceFallBackInfo_(persistenceFallBackInfo) {}

    bool hasMorePages() const { return hasMorePages_; }
    PersistenceFallBackInfo persistenceFallBackInfo() const { return persistenceFallBackInfo_; }

private:
    bool hasMorePages_;
    PersistenceFallBackInfo persistenceFallBackInfo_;
};

}  // namespace tovrin
