#include "platform/system/SecretServiceKeychain.h"

#include <qt6keychain/keychain.h>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDebug>
#include <QThread>

namespace tovrin {

namespace {

using Outcome = SecretServiceOutcome;
using Finish = SecretService::Finish;

// The helper thread on which keychain jobs run their event-driven exchanges with the service.
class JobThread {
public:
    static QObject* context() {
        static JobThread* instance = [] {
            auto* created = new JobThread();
            // Stopped while the application object is being destroyed, before Qt goes.
            qAddPostRoutine([] { instance->stop(); });
            return created;
        }();
        return instance->context_;
    }

private:
    JobThread() {
        thread_.setObjectName(QStringLiteral("Keychain"));
        context_ = new QObject();
        context_->moveToThread(&thread_);
        thread_.start();
    }
    void stop() {
        thread_.quit();
        thread_.wait();
        delete context_;
        context_ = nullptr;
    }

    QThread thread_;
    QObject* context_ = nullptr;
};

qint64 statusFor(QKeychain::Error error) {
    switch (error) {
        case QKeychain::NoError:
            return Keychain::StatusSuccess;
        case QKeychain::EntryNotFound:
            return Keychain::StatusItemNotFound;
        case QKeychain::AccessDenied:
        case QKeychain::AccessDeniedByUser:
            return Keychain::StatusAuthFailed;
        case QKeychain::NoBackendAvailable:
        case QKeychain::NotImplemented:
            return Keychain::StatusNotAvailable;
        default:
            return Keychain::StatusIO;
    }
}

template <class Job>
Job* makeJob(const QString& service, const QString& account) {
    auto* job = new Job(service);
    job->setAutoDelete(true);
    job->setInsecureFallback(false);
    job->setKey(account);
    return job;
}

// Every job starts on the helper thread, whichever thread asks for it.
void onJobThread(std::function<void()> start) {
    QMetaObject::invokeMethod(JobThread::context(), std::move(start), Qt::QueuedConnection);
}

class DesktopSecretService : public SecretService {
public:
    bool isRegistered() override {
        QDBusConnection bus = QDBusConnection::sessionBus();
        return bus.isConnected() &&
               bus.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.secrets"));
    }

    void read(const QString& service, const QString& account, Finish finish) override {
        onJobThread([=] {
            auto* job = makeJob<QKeychain::ReadPasswordJob>(service, account);
            QObject::connect(job, &QKeychain::Job::finished, [finish](QKeychain::Job* done) {
                finish(
                    {statusFor(done->error()), static_cast<QKeychain::ReadPasswordJob*>(done)->binaryData()});
            });
            job->start();
        });
    }

    void write(const QString& service, const QString& account, const QByteArray& data,
               Finish finish) override {
        onJobThread([=] {
            auto* job = makeJob<QKeychain::WritePasswordJob>(service, account);
            job->setBinaryData(data);
            QObject::connect(job, &QKeychain::Job::finished, [finish](QKeychain::Job* done) {
                finish({statusFor(done->error()), {}});
            });
            job->start();
        });
    }

    void remove(const QString& service, const QString& account, Finish finish) override {
        onJobThread([=] {
            auto* job = makeJob<QKeychain::DeletePasswordJob>(service, account);
            QObject::connect(job, &QKeychain::Job::finished, [finish](QKeychain::Job* done) {
                finish({statusFor(done->error()), {}});
            });
            job->start();
        });
    }
};

class SteadyKeychainClock : public KeychainClock {
public:
    TimePoint now() const override { return std::chrono::steady_clock::now(); }
    bool wait(const SecretServiceAnswer& answer, TimePoint deadline) override {
        return answer.waitUntil(deadline);
    }
};

// The service overwrites silently; the platform's add, update and delete first look for the item.
// The job runs unless the lookup failed or found `refusedLookup`, which ends as `refusal`.
void runAfterLookup(const std::shared_ptr<SecretService>& secrets, const QString& service,
                    const QString& account, qint64 refusedLookup, qint64 refusal,
                    std::function<void(const Finish&)> job, const Finish& finish) {
    secrets->read(service, account, [=](Outcome found) {
        if (found.status != Keychain::StatusSuccess && found.status != Keychain::StatusItemNotFound) {
            finish(found);
        } else if (found.status == refusedLookup) {
            finish({refusal, {}});
        } else {
            job(finish);
        }
    });
}

}  // namespace

void SecretServiceAnswer::settle(SecretServiceOutcome outcome) {
    std::vector<std::function<void(const SecretServiceOutcome&)>> observers;
    {
        std::lock_guard lock(mutex_);
        if (outcome_) return;
        outcome_ = std::move(outcome);
        observers.swap(observers_);
    }
    settled_.notify_all();
    for (const auto& observer : observers) observer(*outcome_);
}

std::optional<SecretServiceOutcome> SecretServiceAnswer::outcome() const {
    std::lock_guard lock(mutex_);
    return outcome_;
}

bool SecretServiceAnswer::waitUntil(std::chrono::steady_clock::time_point deadline) const {
    std::unique_lock lock(mutex_);
    return settled_.wait_until(lock, deadline, [this] { return outcome_.has_value(); });
}

void SecretServiceAnswer::whenSettled(std::function<void(const SecretServiceOutcome&)> observer) {
    {
        std::lock_guard lock(mutex_);
        if (!outcome_) {
            observers_.push_back(std::move(observer));
            return;
        }
    }
    observer(*outcome_);
}

std::shared_ptr<SecretService> SecretService::desktop() {
    static const auto service = std::make_shared<DesktopSecretService>();
    return service;
}

std::shared_ptr<KeychainClock> KeychainClock::steady() {
    static const auto clock = std::make_shared<SteadyKeychainClock>();
    return clock;
}

SecretServiceKeychain::SecretServiceKeychain(std::chrono::milliseconds deadline)
    : SecretServiceKeychain(SecretService::desktop(), KeychainClock::steady(), deadline) {}

SecretServiceKeychain::SecretServiceKeychain(std::shared_ptr<SecretService> service,
                                             std::shared_ptr<KeychainClock> clock,
                                             std::chrono::milliseconds deadline)
    : service_(std::move(service)), clock_(std::move(clock)), deadline_(deadline) {}

bool SecretServiceKeychain::isAvailable(std::chrono::milliseconds deadline) {
    SecretServiceKeychain keychain(deadline);
    if (!keychain.isRegistered()) return false;
    QByteArray ignored;
    const qint64 status =
        keychain.copyItemData(QStringLiteral("KeychainProbe"), QStringLiteral("probe"), &ignored);
    return status == StatusSuccess || status == StatusItemNotFound;
}

std::shared_ptr<SecretServiceAnswer> SecretServiceKeychain::begin(Operation operation, const QString& service,
                                                                  const QString& account,
                                                                  const QByteArray& data) {
    auto answer = std::make_shared<SecretServiceAnswer>();
    const Finish finish = [answer](Outcome outcome) { answer->settle(std::move(outcome)); };
    const auto secrets = service_;
    const auto write = [=](const Finish& done) { secrets->write(service, account, data, done); };
    switch (operation) {
        case Operation::Copy:
            secrets->read(service, account, finish);
            break;
        case Operation::Add:
            runAfterLookup(secrets, service, account, StatusSuccess, StatusDuplicateItem, write, finish);
            break;
        case Operation::Update:
            runAfterLookup(secrets, service, account, StatusItemNotFound, StatusItemNotFound, write, finish);
            break;
        case Operation::Delete:
            runAfterLookup(
                secrets, service, account, StatusItemNotFound, StatusItemNotFound,
                [=](const Finish& done) { secrets->remove(service, account, done); }, finish);
            break;
    }
    return answer;
}

qint64 SecretServiceKeychain::conclude(const SecretServiceOutcome& outcome, QByteArray* data) {
    if (outcome.status == StatusSuccess && data) *data = outcome.data;
    return outcome.status;
}

qint64 SecretServiceKeychain::perform(Operation operation, const QString& service, const QString& account,
                                      const QByteArray& written, QByteArray* read) {
    const auto answer = begin(operation, service, account, written);
    if (!clock_->wait(*answer, clock_->now() + deadline_)) {
        qWarning("Keychain: the secret service did not answer in time");
        return StatusInteractionNotAllowed;
    }
    return conclude(*answer->outcome(), read);
}

qint64 SecretServiceKeychain::addItem(const QString& service, const QString& account, const QByteArray& data,
                                      Accessibility) {
    return perform(Operation::Add, service, account, data, nullptr);
}

qint64 SecretServiceKeychain::updateItem(const QString& service, const QString& account,
                                         const QByteArray& data) {
    return perform(Operation::Update, service, account, data, nullptr);
}

qint64 SecretServiceKeychain::copyItemData(const QString& service, const QString& account, QByteArray* data) {
    return perform(Operation::Copy, service, account, {}, data);
}

qint64 SecretServiceKeychain::deleteItem(const QString& service, const QString& account) {
    return perform(Operation::Delete, service, account, {}, nullptr);
}

}  // namespace tovrin
