#include "platform/system/Device.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSysInfo>

#include "platform/foundation/FileManager.h"
#include "platform/foundation/UUID.h"

namespace tovrin {

Device::Device(QString model, QString systemName, QString systemVersion, QString vendorIdentifierFile)
    : model_(std::move(model)),
      systemName_(std::move(systemName)),
      systemVersion_(std::move(systemVersion)),
      vendorIdentifierFile_(std::move(vendorIdentifierFile)) {}

std::shared_ptr<Device> Device::current() {
    static const std::shared_ptr<Device> device = [] {
        QString systemName = QSysInfo::productType();
        if (!systemName.isEmpty()) systemName[0] = systemName[0].toUpper();
        const QString file =
            FileManager::defaultManager().preferencesDirectory() + QStringLiteral("/VendorIdentifier");
        return std::make_shared<Device>(QStringLiteral("Desktop"), systemName, QSysInfo::productVersion(),
                                        file);
    }();
    return device;
}

std::optional<QString> Device::identifierForVendor() const {
    const FileManager& files = FileManager::defaultManager();
    files.restrictToOwner(vendorIdentifierFile_);
    QFile existing(vendorIdentifierFile_);
    if (existing.open(QIODevice::ReadOnly)) {
        const QString stored = QString::fromUtf8(existing.readAll()).trimmed();
        if (isUUIDString(stored)) return stored;
    }
    const QString identifier = makeUUIDString();
    files.createDirectory(QFileInfo(vendorIdentifierFile_).absolutePath(), true);
    QSaveFile file(vendorIdentifierFile_);
    if (!file.open(QIODevice::WriteOnly)) return std::nullopt;
    file.write(identifier.toUtf8());
    if (!file.commit()) return std::nullopt;
    return identifier;
}

}  // namespace tovrin
