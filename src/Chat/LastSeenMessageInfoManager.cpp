#include "Chat/LastSeenMessageInfoManager.h"

#include "Persistence/TovrinPersistence.h"

namespace tovrin {

LastSeenMessageInfoManager::LastSeenMessageInfoManager(std::shared_ptr<TovrinPersistence> tovrinPersistence)
    : tovrinPersistence_(std::move(tovrinPersistence)) {}

void LastSeenMessageInfoManager::saveLastSeenMessageInfo(const LastSeenMessageInfo& info) {
    if (tovrinPersistence_) tovrinPersistence_->saveLastSeenMessageInfo(info);
}

Promise<std::shared_ptr<LastSeenMessageInfo>> LastSeenMessageInfoManager::retrieveLastSeenMessageInfo() {
    if (!tovrinPersistence_) return Promise<std::shared_ptr<LastSeenMessageInfo>>::resolved(nullptr);
    return tovrinPersistence_->getLastSeenMessageInfo();
}

}  // namespace tovrin
