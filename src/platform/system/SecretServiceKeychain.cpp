#include "platform/system/SecretServiceKeychain.h"

#include <qt6keychain/keychain.h>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QThread>
#include <atomic>
#include <functional>
#include <future>
#include <mutex>

namespace tovrin {

namespace {

struct Outcome {
    qint64 status = Keychain::StatusIO;
    QByteArray data;
};
using Finish = std::function<void(Outcome)>;

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

// Runs on the helper thread and waits there for the jobs, at most until the deadline.
Outcome run(const std::function<void(Finish)>& start, std::chrono::milliseconds deadline) {
    auto result = std::make_shared<std::promise<Outcome>>();
    auto settled = std::make_shared<std::atomic<bool>>(false);
    std::future<Outcome> future = result->get_future();
    Finish finish = [result, settled](Outcome outcome) {
        if (!settled->exchange(true)) result->set_value(std::move(outcome));
    };
    QMetaObject::invokeMethod(
        JobThread::context(), [start, finish] { start(finish); }, Qt::QueuedConnection);
    if (future.wait_for(deadline) != std::future_status::ready) {
        qWarning("Keychain: the secret service did not answer in time");
        return {Keychain::StatusInteractionNotAllowed, {}};
    }
    return future.get();
}

template <class Job>
Job* makeJob(const QString& service, const QString& account) {
    auto* job = new Job(service);
    job->setAutoDelete(true);
    job->setInsecureFallback(false);
    job->setKey(account);
    return job;
}

void readItem(const QString& service, const QString& account, const Finish& finish) {
    auto* job = makeJob<QKeychain::ReadPasswordJob>(service, account);
    QObject::connect(job, &QKeychain::Job::finished, [finish](QKeychain::Job* done) {
        finish({statusFor(done->error()), static_cast<QKeychain::ReadPasswordJob*>(done)->binaryData()});
    });
    job->start();
}

void writeItem(const QString& service, const QString& account, const QByteArray& data, const Finish& finish) {
    auto* job = makeJob<QKeychain::WritePasswordJob>(service, account);
    job->setBinaryData(data);
    QObject::connect(job, &QKeychain::Job::finished, [finish](QKeychain::Job* done) {
        finish({statusFor(done->error()), {}});
    });
    job->start();
}

void deleteItemJob(const QString& service, const QString& account, const Finish& finish) {
    auto* job = makeJob<QKeychain::DeletePasswordJob>(service, account);
    QObject::connect(job, &QKeychain::Job::finished, [finish](QKeychain::Job* done) {
        finish({statusFor(done->error()), {}});
    });
    job->start();
}

// The service overwrites silently; the platform's add, update and delete first look for the item.
// The job runs unless the lookup failed or found `refusedLookup`, which ends as `refusal`.
qint64 runAfterLookup(const QString& service, const QString& account, qint64 refusedLookup, qint64 refusal,
                      const std::function<void(const Finish&)>& job, std::chrono::milliseconds deadline) {
    const auto start = [=](const Finish& finish) {
        readItem(service, account, [=](Outcome found) {
            if (found.status != Keychain::StatusSuccess && found.status != Keychain::StatusItemNotFound) {
                finish(found);
            } else if (found.status == refusedLookup) {
                finish({refusal, {}});
            } else {
                job(finish);
            }
        });
    };
    return run(start, deadline).status;
}

}  // namespace

SecretServiceKeychain::SecretServiceKeychain(std::chrono::milliseconds deadline) : deadline_(deadline) {}

bool SecretServiceKeychain::isAvailable(std::chrono::milliseconds deadline) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() ||
        !bus.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.secrets"))) {
        return false;
    }
    QByteArray ignored;
    const qint64 status = SecretServiceKeychain(deadline).copyItemData(QStringLiteral("KeychainProbe"),
                                                                       QStringLiteral("probe"), &ignored);
    return status == StatusSuccess || status == StatusItemNotFound;
}

qint64 SecretServiceKeychain::addItem(const QString& service, const QString& account, const QByteArray& data,
                                      Accessibility) {
    return runAfterLookup(
        service, account, StatusSuccess, StatusDuplicateItem,
        [=](const Finish& finish) { writeItem(service, account, data, finish); }, deadline_);
}

qint64 SecretServiceKeychain::updateItem(const QString& service, const QString& account,
                                         const QByteArray& data) {
    return runAfterLookup(
        service, account, StatusItemNotFound, StatusItemNotFound,
        [=](const Finish& finish) { writeItem(service, account, data, finish); }, deadline_);
}

qint64 SecretServiceKeychain::copyItemData(const QString& service, const QString& account, QByteArray* data) {
    const Outcome outcome = run([=](const Finish& finish) { readItem(service, account, finish); }, deadline_);
    if (outcome.status == StatusSuccess && data) *data = outcome.data;
    return outcome.status;
}

qint64 SecretServiceKeychain::deleteItem(const QString& service, const QString& account) {
    return runAfterLookup(
        service, account, StatusItemNotFound, StatusItemNotFound,
        [=](const Finish& finish) { deleteItemJob(service, account, finish); }, deadline_);
}

}  // namespace tovrin
