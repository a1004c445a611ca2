#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>

#include "Cascade/Filter/CascadeFilterJSONMapper.h"
#include "Cascade/Filter/FilterJSONMapper.h"
#include "Cascade/NearbyUserJSONMapper.h"
#include "Chat/LastSeenMessageInfoJSONMapper.h"
#include "Persistence/TovrinPersistence.h"
#include "Persistence/databasewrapper/Database.h"
#include "Rules/RulesJSONMapper.h"
#include "support/FakeClock.h"
#include "support/TestSupport.h"

namespace tovrin::test {

// The value of a store promise, once it has settled.
template <class T>
T await(const Promise<T>& promise) {
    EXPECT_TRUE(waitFor(promise));
    EXPECT_TRUE(promise.isFulfilled());
    return promise.isFulfilled() ? *promise.value() : T{};
}

// Stores over a real file "tovrin.sqlite" in a temporary folder, each with its own connection and
// queue, as the container makes them.
class TemporaryStore {
public:
    QString path() const { return directory_.filePath(QStringLiteral("tovrin.sqlite")); }

    std::shared_ptr<TovrinPersistence> make(
        std::shared_ptr<DeviceCurrentDateProvider> clock = nullptr) const {
        return makeAt(path(), clock ? clock : std::make_shared<FakeClock>());
    }

    static std::shared_ptr<TovrinPersistence> makeAt(const QString& path,
                                                     std::shared_ptr<DeviceCurrentDateProvider> clock) {
        return std::make_shared<TovrinPersistence>(
            std::make_shared<Database>(path), std::make_shared<NearbyUserJSONMapper>(clock),
            std::make_shared<FilterJSONMapper>(), std::make_shared<CascadeFilterJSONMapper>(),
            std::make_shared<RulesJSONMapper>(), std::make_shared<LastSeenMessageInfoJSONMapper>(), clock,
            std::make_shared<ThreadTrampoline>(
                std::make_shared<DispatchQueue>(QStringLiteral("TovrinPersistence"))));
    }

    // A connection of the test's own, for looking at the file directly.
    std::shared_ptr<Database> open() const { return std::make_shared<Database>(path()); }

private:
    QTemporaryDir directory_;
};

}  // namespace tovrin::test
