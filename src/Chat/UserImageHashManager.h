#pragma once

#include <QString>
#include <QStringList>
#include <memory>

#include "platform/di/Inject.h"

namespace tovrin {

class TovrinPersistence;

// The media hashes of the member's own chat photos, newest first and without duplicates, mirrored
// whole to the member's store ("ImageHash") after every change. One per member session, made by the
// user session over the session's store; main thread only.
class UserImageHashManager {
public:
    // Starts empty and reads the stored list once: stored hashes go behind any added meanwhile, and
    // the merged list is stored.
    explicit UserImageHashManager(std::shared_ptr<TovrinPersistence> tovrinPersistence);

    using Dependencies = Inject<TovrinPersistence>;

    const QStringList& imageHashes() const { return list_->hashes; }
    // At the front; a hash already listed stays where it is. The list is written either way.
    void addImageHash(const QString& imageHash);
    // Appends the hashes not yet listed, in their order; an empty array changes and writes nothing.
    void addImageHashes(const QStringList& imageHashes);

private:
    // Shared with the store's answer, which may arrive after the manager is gone.
    struct List {
        QStringList hashes;
        void append(const QStringList& more);
    };

    void save() const;

    std::shared_ptr<TovrinPersistence> tovrinPersistence_;
    std::shared_ptr<List> list_ = std::make_shared<List>();
};

}  // namespace tovrin
