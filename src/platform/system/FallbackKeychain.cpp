#include "platform/system/FallbackKeychain.h"

#include <QDebug>

#include "platform/system/FileKeychain.h"

namespace tovrin {

FallbackKeychain::FallbackKeychain(std::shared_ptr<SecretServiceKeychain> secretService,
                                   std::shared_ptr<FileKeychain> file,
                                   std::chrono::milliseconds launchDeadline)
    : secretService_(std::move(secretService)), file_(std::move(file)), launchDeadline_(launchDeadline) {}

qint64 FallbackKeychain::addItem(const QString& service, const QString& account, const QByteArray& data,
                                 Accessibility accessibility) {
    return perform(Operation::Add, service, account, data, nullptr, accessibility);
}

qint64 FallbackKeychain::updateItem(const QString& service, const QString& account, const QByteArray& data) {
    return perform(Operation::Update, service, account, data, nullptr);
}

qint64 FallbackKeychain::copyItemData(const QString& service, const QString& account, QByteArray* data) {
    return perform(Operation::Copy, service, account, {}, data);
}

qint64 FallbackKeychain::deleteItem(const QString& service, const QString& account) {
    return perform(Operation::Delete, service, account, {}, nullptr);
}

// One call at a time, so that a second caller during the launch's wait does not wait again.
qint64 FallbackKeychain::perform(Operation operation, const QString& service, const QString& account,
                                 const QByteArray& written, QByteArray* read, Accessibility accessibility) {
    std::lock_guard lock(mutex_);
    if (choice_ == Choice::Undecided) {
        if (const std::optional<qint64> status = tryFirstCall(operation, service, account, written, read))
            return *status;
    }
    if (choice_ == Choice::FileUntilTheServiceAnswers && serviceAnswered_->load()) takeOverFromFile();
    if (choice_ == Choice::SecretService)
        return performOn(*secretService_, operation, service, account, written, read, accessibility);

    const qint64 status = performOn(*file_, operation, service, account, written, read, accessibility);
    // Whatever the file answered, it now says what the item should be.
    if (choice_ == Choice::FileUntilTheServiceAnswers && operation != Operation::Copy)
        changedInFile_.insert({service, account});
    return status;
}

std::optional<qint64> FallbackKeychain::tryFirstCall(Operation operation, const QString& service,
                                                     const QString& account, const QByteArray& written,
                                                     QByteArray* read) {
    if (!secretService_->isRegistered()) {
        choice_ = Choice::File;
        switchToFile(QStringLiteral("no secret service is registered on the session bus"));
        return std::nullopt;
    }
    const auto answer = secretService_->begin(operation, service, account, written);
    const auto& clock = secretService_->clock();
    if (clock->wait(*answer, clock->now() + launchDeadline_)) {
        choice_ = Choice::SecretService;
        return SecretServiceKeychain::conclude(*answer->outcome(), read);
    }
    choice_ = Choice::FileUntilTheServiceAnswers;
    switchToFile(QStringLiteral("the secret service did not answer within %1 s")
                     .arg(std::chrono::duration<double>(launchDeadline_).count()));
    answer->whenSettled([answered = serviceAnswered_](const SecretServiceOutcome&) { *answered = true; });
    return std::nullopt;
}

void FallbackKeychain::switchToFile(const QString& reason) {
    qWarning().noquote() << QStringLiteral("Keychain: %1; keeping secrets in %2 (readable only by you)")
                                .arg(reason, file_->path());
}

// What was written to the file meanwhile moves to the service, so that the next launch finds it there.
void FallbackKeychain::takeOverFromFile() {
    choice_ = Choice::SecretService;
    qWarning("Keychain: the secret service answered at last; keeping secrets there from now on");
    for (const auto& [service, account] : std::as_const(changedInFile_)) {
        QByteArray data;
        qint64 status = file_->copyItemData(service, account, &data);
        if (status == StatusSuccess) {
            status = secretService_->addItem(service, account, data, Accessibility::WhenUnlocked);
            if (status == StatusDuplicateItem) status = secretService_->updateItem(service, account, data);
            if (status == StatusSuccess) file_->deleteItem(service, account);
        } else if (status == StatusItemNotFound) {
            secretService_->deleteItem(service, account);
        }
    }
    changedInFile_.clear();
}

qint64 FallbackKeychain::performOn(Keychain& keychain, Operation operation, const QString& service,
                                   const QString& account, const QByteArray& written, QByteArray* read,
                                   Accessibility accessibility) {
    switch (operation) {
        case Operation::Add:
            return keychain.addItem(service, account, written, accessibility);
        case Operation::Update:
            return keychain.updateItem(service, account, written);
        case Operation::Copy:
            return keychain.copyItemData(service, account, read);
        case Operation::Delete:
            return keychain.deleteItem(service, account);
    }
    return StatusIO;
}

}  // namespace tovrin
