#pragma once

#include <QPair>
#include <QSet>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>

#include "platform/system/SecretServiceKeychain.h"

namespace tovrin {

class FileKeychain;

// The secret service, with the file keychain standing in while none is registered on the session
// bus or while it has not answered the first call. Only that first call waits for the service, at
// most the launch deadline; a service that answers after it takes over at the next call, with the
// items written to the file meanwhile. The switch to the file is said once in the log, with why.
class FallbackKeychain : public Keychain {
public:
    FallbackKeychain(std::shared_ptr<SecretServiceKeychain> secretService, std::shared_ptr<FileKeychain> file,
                     std::chrono::milliseconds launchDeadline = std::chrono::seconds(5));

    qint64 addItem(const QString& service, const QString& account, const QByteArray& data,
                   Accessibility accessibility) override;
    qint64 updateItem(const QString& service, const QString& account, const QByteArray& data) override;
    qint64 copyItemData(const QString& service, const QString& account, QByteArray* data) override;
    qint64 deleteItem(const QString& service, const QString& account) override;

private:
    using Operation = SecretServiceKeychain::Operation;
    enum class Choice { Undecided, SecretService, FileUntilTheServiceAnswers, File };

    qint64 perform(Operation operation, const QString& service, const QString& account,
                   const QByteArray& written, QByteArray* read,
                   Accessibility accessibility = Accessibility::WhenUnlocked);
    // The launch's one wait: the call itself, sent to the secret service.
    std::optional<qint64> tryFirstCall(Operation operation, const QString& service, const QString& account,
                                       const QByteArray& written, QByteArray* read);
    void switchToFile(const QString& reason);
    void takeOverFromFile();
    static qint64 performOn(Keychain& keychain, Operation operation, const QString& service,
                            const QString& account, const QByteArray& written, QByteArray* read,
                            Accessibility accessibility);

    const std::shared_ptr<SecretServiceKeychain> secretService_;
    const std::shared_ptr<FileKeychain> file_;
    const std::chrono::milliseconds launchDeadline_;

    std::mutex mutex_;
    Choice choice_ = Choice::Undecided;
    // Set, on any thread, by the late answer to the first call.
    const std::shared_ptr<std::atomic<bool>> serviceAnswered_ = std::make_shared<std::atomic<bool>>(false);
    // Items changed in the file while the service kept silent: (service, account).
    QSet<QPair<QString, QString>> changedInFile_;
};

}  // namespace tovrin
