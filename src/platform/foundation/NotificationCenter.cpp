#include "platform/foundation/NotificationCenter.h"

#include <atomic>

namespace tovrin {

struct NotificationToken::Registry {
    // Shared so that a delivery in progress keeps the observer alive; switched off on removal so
    // that an observer removed during a delivery is not called afterwards.
    struct Slot {
        explicit Slot(NotificationCenter::Observer observer) : observer(std::move(observer)) {}
        NotificationCenter::Observer observer;
        std::atomic<bool> active{true};
    };
    struct Entry {
        quint64 id;
        QString name;
        const void* object;
        std::shared_ptr<Slot> slot;
    };

    std::mutex mutex;
    std::vector<Entry> entries;
    quint64 nextID = 1;

    void remove(quint64 id) {
        std::shared_ptr<Slot> removed;  // released outside the lock
        std::lock_guard lock(mutex);
        for (auto it = entries.begin(); it != entries.end(); ++it) {
            if (it->id == id) {
                it->slot->active = false;
                removed = std::move(it->slot);
                entries.erase(it);
                break;
            }
        }
    }
};

NotificationToken::NotificationToken(NotificationToken&& other) noexcept
    : registry_(std::move(other.registry_)), id_(std::exchange(other.id_, 0)) {}

NotificationToken& NotificationToken::operator=(NotificationToken&& other) noexcept {
    if (this != &other) {
        reset();
        registry_ = std::move(other.registry_);
        id_ = std::exchange(other.id_, 0);
    }
    return *this;
}

void NotificationToken::reset() {
    if (id_ == 0) return;
    if (auto registry = registry_.lock()) registry->remove(id_);
    id_ = 0;
    registry_.reset();
}

NotificationCenter::NotificationCenter() : registry_(std::make_shared<NotificationToken::Registry>()) {}

std::shared_ptr<NotificationCenter> NotificationCenter::defaultCenter() {
    static const std::shared_ptr<NotificationCenter> center = std::make_shared<NotificationCenter>();
    return center;
}

NotificationToken NotificationCenter::addObserver(const QString& name, const void* object,
                                                  Observer observer) {
    std::lock_guard lock(registry_->mutex);
    const quint64 id = registry_->nextID++;
    registry_->entries.push_back(
        {id, name, object, std::make_shared<NotificationToken::Registry::Slot>(std::move(observer))});
    return NotificationToken(registry_, id);
}

void NotificationCenter::post(const Notification& notification) {
    std::vector<std::shared_ptr<NotificationToken::Registry::Slot>> matching;
    {
        std::lock_guard lock(registry_->mutex);
        for (const auto& entry : registry_->entries) {
            const bool nameMatches = entry.name.isEmpty() || entry.name == notification.name;
            const bool objectMatches = entry.object == nullptr || entry.object == notification.object;
            if (nameMatches && objectMatches) matching.push_back(entry.slot);
        }
    }
    for (const auto& slot : matching) {
        if (slot->active) slot->observer(notification);
    }
}

void NotificationCenter::post(const QString& name, const void* object, const QVariantMap& userInfo) {
    post(Notification{name, object, userInfo});
}

}  // namespace tovrin
