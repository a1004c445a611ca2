#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

namespace tovrin {

// Generic-password items by service and account, with the statuses the platform's keychain
// reports. Calls are synchronous and safe from the main thread: they never run its event loop.
class Keychain {
public:
    static constexpr qint64 StatusSuccess = 0;
    static constexpr qint64 StatusIO = -36;
    static constexpr qint64 StatusNotAvailable = -25291;
    static constexpr qint64 StatusAuthFailed = -25293;
    static constexpr qint64 StatusDuplicateItem = -25299;
    static constexpr qint64 StatusItemNotFound = -25300;
    // Also what a call reports when the keychain does not answer in time (a locked keyring).
    static constexpr qint64 StatusInteractionNotAllowed = -25308;
    static constexpr qint64 StatusMissingEntitlement = -34018;

    enum class Accessibility { WhenUnlocked, AfterFirstUnlock };

    virtual ~Keychain() = default;

    // Adds an item; StatusDuplicateItem when one exists for the service and account.
    virtual qint64 addItem(const QString& service, const QString& account, const QByteArray& data,
                           Accessibility accessibility) = 0;
    // Replaces the data of an existing item; StatusItemNotFound when there is none.
    virtual qint64 updateItem(const QString& service, const QString& account, const QByteArray& data) = 0;
    virtual qint64 copyItemData(const QString& service, const QString& account, QByteArray* data) = 0;
    // StatusItemNotFound when there is no such item.
    virtual qint64 deleteItem(const QString& service, const QString& account) = 0;

    // The desktop's secret service, with the file keychain in the home folder standing in while none
    // runs or while it has not answered (said once in the log); see FallbackKeychain.
    static std::shared_ptr<Keychain> system();
};

}  // namespace tovrin
