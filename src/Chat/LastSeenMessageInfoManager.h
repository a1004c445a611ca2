#pragma once

#include <memory>

#include "Chat/LastSeenMessageInfo.h"
#include "platform/di/Inject.h"
#include "platform/promise/Promise.h"

namespace tovrin {

class TovrinPersistence;

// The inbox's last-seen marker in the member's store. Keeps no state of its own. Main thread.
class LastSeenMessageInfoManager {
public:
    explicit LastSeenMessageInfoManager(std::shared_ptr<TovrinPersistence> tovrinPersistence);

    using Dependencies = Inject<TovrinPersistence>;

    // Replaces the stored marker; the result is not awaited.
    void saveLastSeenMessageInfo(const LastSeenMessageInfo& info);
    // The stored marker, or nothing.
    Promise<std::shared_ptr<LastSeenMessageInfo>> retrieveLastSeenMessageInfo();

    const std::shared_ptr<TovrinPersistence>& tovrinPersistence() const { return tovrinPersistence_; }

private:
    std::shared_ptr<TovrinPersistence> tovrinPersistence_;
};

}  // namespace tovrin
