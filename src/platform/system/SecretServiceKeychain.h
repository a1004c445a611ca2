#pragma once

#include <chrono>

#include "platform/system/Keychain.h"

namespace tovrin {

// The desktop's secret service (through QtKeychain). Each call runs its jobs on a helper thread
// with its own event loop while the caller waits, at most until the deadline.
class SecretServiceKeychain : public Keychain {
public:
    explicit SecretServiceKeychain(std::chrono::milliseconds deadline = std::chrono::seconds(5));

    // Whether a secret service is registered on the session bus and answers a read in time.
    static bool isAvailable(std::chrono::milliseconds deadline);

    qint64 addItem(const QString& service, const QString& account, const QByteArray& data,
                   Accessibility accessibility) override;
    qint64 updateItem(const QString& service, const QString& account, const QByteArray& data) override;
    qint64 copyItemData(const QString& service, const QString& account, QByteArray* data) override;
    qint64 deleteItem(const QString& service, const QString& account) override;

private:
    const std::chrono::milliseconds deadline_;
};

}  // namespace tovrin
