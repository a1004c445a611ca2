#pragma once

#include <QString>
#include <QVariantMap>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace tovrin {

struct Notification {
    QString name;
    // The sender, by identity only.
    const void* object = nullptr;
    QVariantMap userInfo;
};

class NotificationCenter;

// Ends its observation when destroyed or reset. Move-only.
class NotificationToken {
public:
    NotificationToken() = default;
    ~NotificationToken() { reset(); }
    NotificationToken(NotificationToken&& other) noexcept;
    NotificationToken& operator=(NotificationToken&& other) noexcept;
    NotificationToken(const NotificationToken&) = delete;
    NotificationToken& operator=(const NotificationToken&) = delete;

    void reset();
    bool isActive() const { return id_ != 0; }

private:
    friend class NotificationCenter;
    struct Registry;
    NotificationToken(std::weak_ptr<Registry> registry, quint64 id)
        : registry_(std::move(registry)), id_(id) {}

    std::weak_ptr<Registry> registry_;
    quint64 id_ = 0;
};

// Named notifications, delivered synchronously on the posting thread to the observers of that name
// (an empty name observes every name) and of that sender (a null sender observes every sender).
class NotificationCenter {
public:
    using Observer = std::function<void(const Notification&)>;

    NotificationCenter();
    static std::shared_ptr<NotificationCenter> defaultCenter();

    [[nodiscard]] NotificationToken addObserver(const QString& name, const void* object, Observer observer);
    void post(const Notification& notification);
    void post(const QString& name, const void* object = nullptr, const QVariantMap& userInfo = {});

private:
    std::shared_ptr<NotificationToken::Registry> registry_;
};

}  // namespace tovrin
