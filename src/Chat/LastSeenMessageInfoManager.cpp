#include "Chat/LastSeenMessageInfoManager.h"

#include "Persistence/TovrinPersistence.h"
#include "platform/di/Injector.h"

namespace tovrin {

LastSeenMessageInfoManager::LastSeenMessageInfoManager(std::shared_ptr<TovrinPersistence> tovrinPersistence)
    : tovrinPersistence_(std::move(tovrinPersistence)) {}

std::shared_ptr<LastSeenMessageInfoManager> LastSeenMessageInfoManager::create(Injector& injector) {
    return std::make_shared<LastSeenMessageInfoManager>(injector.get<TovrinPersistence>());
}

void LastSeenMessageInfoManager::saveLastSeenMessageInfo(const LastSeenMessageInfo& info) {
    if (tovrinPersistence_) tovrinPersistence_->saveLastSeenMessageInfo(info);
}

Promise<std::shared_ptr<LastSeenMessageInfo>> LastSeenMessageInfoManager::retrieveLastSeenMessageInfo() {
    if (!tovrinPersistence_) return Promise<std::shared_ptr<LastSeenMessageInfo>>::resolved(nullptr);
    return tovrinPersistence_->getLastSeenMessageInfo();
}

}  // namespace tovrin
