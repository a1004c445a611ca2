#pragma once

#include <QString>
#include <memory>
#include <optional>

namespace tovrin {

// The device the application runs on.
class Device {
public:
    Device(QString model, QString systemName, QString systemVersion, QString vendorIdentifierFile);

    // This machine; its vendor identifier is kept in the preferences folder of the home folder.
    static std::shared_ptr<Device> current();

    const QString& model() const { return model_; }
    const QString& systemName() const { return systemName_; }
    const QString& systemVersion() const { return systemVersion_; }

    // A UUID that stays the same for this application on this device: made at the first request
    // and kept in a file. Nothing when the file can be neither read nor written.
    std::optional<QString> identifierForVendor() const;

    void setModel(const QString& model) { model_ = model; }
    void setSystemName(const QString& name) { systemName_ = name; }
    void setSystemVersion(const QString& version) { systemVersion_ = version; }

private:
    QString model_;
    QString systemName_;
    QString systemVersion_;
    QString vendorIdentifierFile_;
};

}  // namespace tovrin
