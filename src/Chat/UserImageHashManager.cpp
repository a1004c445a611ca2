#include "Chat/UserImageHashManager.h"

#include "Persistence/TovrinPersistence.h"

namespace tovrin {

UserImageHashManager::UserImageHashManager(std::shared_ptr<TovrinPersistence> tovrinPersistence)
    : tovrinPersistence_(std::move(tovrinPersistence)) {
    if (!tovrinPersistence_) return;
    // Hashes added before the stored list arrived were written without it: the merged list is written
    // again, or the stored hashes would be lost at the next launch.
    tovrinPersistence_->getImageHashes().then(
        [list = std::weak_ptr(list_), store = tovrinPersistence_](const std::optional<QStringList>& stored) {
            const auto kept = list.lock();
            if (!kept || !stored) return;
            kept->append(*stored);
            if (kept->hashes != *stored) store->saveImageHashes(kept->hashes);
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
