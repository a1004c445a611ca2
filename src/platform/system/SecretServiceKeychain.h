#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/system/Keychain.h"

namespace tovrin {

// What the secret service answered to one call: a status and, for a read, the data.
struct SecretServiceOutcome {
    qint64 status = Keychain::StatusIO;
    QByteArray data;
};

// One call's answer, given once from any thread; the caller waits for it, or hears of it later.
class SecretServiceAnswer {
public:
    // Only the first outcome counts.
    void settle(SecretServiceOutcome outcome);
    std::optional<SecretServiceOutcome> outcome() const;
    // On the steady clock: whether the answer came before the deadline.
    bool waitUntil(std::chrono::steady_clock::time_point deadline) const;
    // Runs once the answer is there: at once when it already is, else on the thread that gives it.
    void whenSettled(std::function<void(const SecretServiceOutcome&)> observer);

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable settled_;
    std::optional<SecretServiceOutcome> outcome_;
    std::vector<std::function<void(const SecretServiceOutcome&)>> observers_;
};

// The desktop's secret service as jobs that answer later, on any thread.
class SecretService {
public:
    using Finish = std::function<void(SecretServiceOutcome)>;

    virtual ~SecretService() = default;

    // Whether a secret service is registered on the session bus.
    virtual bool isRegistered() = 0;
    virtual void read(const QString& service, const QString& account, Finish finish) = 0;
    // Overwrites an existing item silently.
    virtual void write(const QString& service, const QString& account, const QByteArray& data,
                       Finish finish) = 0;
    virtual void remove(const QString& service, const QString& account, Finish finish) = 0;

    // QtKeychain over the session bus, its jobs on a helper thread with its own event loop.
    static std::shared_ptr<SecretService> desktop();
};

// How long callers wait for the secret service; tests wait on a clock they move themselves.
class KeychainClock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    virtual ~KeychainClock() = default;

    virtual TimePoint now() const = 0;
    // Whether the answer came before the deadline.
    virtual bool wait(const SecretServiceAnswer& answer, TimePoint deadline) = 0;

    static std::shared_ptr<KeychainClock> steady();
};

// The desktop's secret service with the platform's item semantics. Each call waits for the
// service's answer at most until the deadline; a call that runs out reports
// StatusInteractionNotAllowed, as a locked keychain does.
class SecretServiceKeychain : public Keychain {
public:
    enum class Operation { Add, Update, Copy, Delete };

    explicit SecretServiceKeychain(std::chrono::milliseconds deadline = std::chrono::seconds(5));
    SecretServiceKeychain(std::shared_ptr<SecretService> service, std::shared_ptr<KeychainClock> clock,
                          std::chrono::milliseconds deadline = std::chrono::seconds(5));

    // Whether a secret service is registered on the session bus and answers a read in time.
    static bool isAvailable(std::chrono::milliseconds deadline);

    qint64 addItem(const QString& service, const QString& account, const QByteArray& data,
                   Accessibility accessibility) override;
    qint64 updateItem(const QString& service, const QString& account, const QByteArray& data) override;
    qint64 copyItemData(const QString& service, const QString& account, QByteArray* data) override;
    qint64 deleteItem(const QString& service, const QString& account) override;

    // Starts a call without waiting for it; `data` is what Add and Update write.
    std::shared_ptr<SecretServiceAnswer> begin(Operation operation, const QString& service,
                                               const QString& account, const QByteArray& data = {});
    // The call's status; a read's data goes to `data` on success.
    static qint64 conclude(const SecretServiceOutcome& outcome, QByteArray* data);

    bool isRegistered() const { return service_->isRegistered(); }
    const std::shared_ptr<KeychainClock>& clock() const { return clock_; }

private:
    qint64 perform(Operation operation, const QString& service, const QString& account,
                   const QByteArray& written, QByteArray* read);

    const std::shared_ptr<SecretService> service_;
    const std::shared_ptr<KeychainClock> clock_;
    const std::chrono::milliseconds deadline_;
};

}  // namespace tovrin
