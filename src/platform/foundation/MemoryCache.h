#pragma once

#include <QCache>
#include <QString>
#include <limits>
#include <mutex>
#include <optional>

namespace tovrin {

// Values by key, each with a cost. Once the total cost passes the limit, the least recently used
// values go, on their own. A value costlier than the whole limit is not kept. Safe from any thread.
template <class V>
class MemoryCache {
public:
    MemoryCache() { cache_.setMaxCost(std::numeric_limits<qsizetype>::max()); }

    std::optional<V> objectForKey(const QString& key) const {
        std::lock_guard lock(mutex_);
        const V* value = cache_.object(key);
        if (!value) return std::nullopt;
        return *value;
    }

    void setObject(V value, const QString& key, qint64 cost) {
        std::lock_guard lock(mutex_);
        cache_.insert(key, new V(std::move(value)), qsizetype(std::max<qint64>(cost, 0)));
    }

    void removeObjectForKey(const QString& key) {
        std::lock_guard lock(mutex_);
        cache_.remove(key);
    }

    void removeAllObjects() {
        std::lock_guard lock(mutex_);
        cache_.clear();
    }

    // 0: no limit.
    qint64 totalCostLimit() const {
        std::lock_guard lock(mutex_);
        return limit_;
    }
    void setTotalCostLimit(qint64 limit) {
        std::lock_guard lock(mutex_);
        limit_ = std::max<qint64>(limit, 0);
        cache_.setMaxCost(limit_ == 0 ? std::numeric_limits<qsizetype>::max() : qsizetype(limit_));
    }

    qint64 totalCost() const {
        std::lock_guard lock(mutex_);
        return cache_.totalCost();
    }

private:
    mutable std::mutex mutex_;
    // Looking a value up marks it as recently used, so even reads change the cache.
    mutable QCache<QString, V> cache_;
    qint64 limit_ = 0;
};

}  // namespace tovrin
