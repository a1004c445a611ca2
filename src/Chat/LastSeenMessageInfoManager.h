#pragma once

#include <memory>

#include "Chat/LastSeenMessageInfo.h"
#include "platform/promise/Promise.h"

namespace tovrin {

class Injector;
class TovrinPersistence;

// The inbox's last-seen marker in the member's store. Keeps no state of its own. Main thread.
class LastSeenMessageInfoManager {
public:
    explicit LastSeenMessageInfoManager(std::shared_ptr<TovrinPersistence> tovrinPersistence);

    // Container initializer: the `TovrinPersistence` class key (the session's store).
    static std::shared_ptr<LastSeenMessageInfoManager> create(Injector& injector);

    // Replaces the stored marker; the result is not awaited.
    void saveLastSeenMessageInfo(const LastSeenMessageInfo& info);
    // The stored marker, or nothing.
    Promise<std::shared_ptr<LastSeenMessageInfo>> retrieveLastSeenMessageInfo();

    const std::shared_ptr<TovrinPersistence>& tovrinPersistence() const { return tovrinPersistence_; }

private:
    std::shared_ptr<TovrinPersistence> tovrinPersistence_;
};

}  // namespace tovrin
