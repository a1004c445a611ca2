#include "Chat/UserImageHashManager.h"

#include "Persistence/TovrinPersistence.h"

namespace tovrin {

UserImageHashManager::UserImageHashManager(std::shared_ptr<TovrinPersistence> tovrinPersistence)
    : tovrinPersistence_(std::move(tovrinPersistence)) {
    if (!tovrinPersistence_) return;
    tovrinPersistence_->getImageHashes().then(
        [list = std::weak_ptr(list_)](const std::optional<QStringList>& stored) {
            const auto kept = list.lock();
            if (kept && stored) kept->append(*stored);
        });
}

void UserImageHashManager::addImageHash(const QString& imageHash) {
    if (!list_->hashes.contains(imageHash)) list_->hashes.prepend(imageHash);
    save();
}

void UserImageHashManager::addImageHashes(const QStringList& imageHashes) {
    if (imageHashes.isEmpty()) return;
    list_->append(imageHashes);
    save();
}

void UserImageHashManager::List::append(const QStringList& more) {
    for (const QString& hash : more) {
        if (!hashes.contains(hash)) hashes.append(hash);
    }
}

// The store's answer is not awaited; a failed write leaves the list in memory as it is.
void UserImageHashManager::save() const {
    if (tovrinPersistence_) tovrinPersistence_->saveImageHashes(list_->hashes);
}

}  // namespace tovrin
