#include "platform/foundation/Bundle.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

namespace tovrin {

namespace {

const QString ErrorDomain = QStringLiteral("BundleErrorDomain");

}  // namespace

Bundle::Bundle(QVariantMap infoDictionary) : infoDictionary_(std::move(infoDictionary)) {}

std::shared_ptr<Bundle> Bundle::main() {
    static const std::shared_ptr<Bundle> bundle = [] {
        Error error;
        auto dictionary = readInfoDictionary(QStringLiteral(":/Info.json"), &error);
        TVR_ASSERT(dictionary.has_value(),
                   "The main bundle has no information dictionary: " + error.description());
        return std::make_shared<Bundle>(*dictionary);
    }();
    return bundle;
}

QVariantMap Bundle::infoDictionary() const {
    std::lock_guard lock(mutex_);
    return infoDictionary_;
}

QVariant Bundle::objectForInfoDictionaryKey(const QString& key) const {
    std::lock_guard lock(mutex_);
    return infoDictionary_.value(key);
}

QString Bundle::bundleIdentifier() const {
    return objectForInfoDictionaryKey(QStringLiteral("CFBundleIdentifier")).toString();
}

void Bundle::mergeInfoDictionary(const QVariantMap& overrides) {
    std::lock_guard lock(mutex_);
    for (auto it = overrides.begin(); it != overrides.end(); ++it)
        infoDictionary_.insert(it.key(), it.value());
}

std::optional<QVariantMap> Bundle::readInfoDictionary(const QString& path, Error* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) *error = Error(ErrorDomain, 1, {{ErrorDescriptionKey, "Cannot read " + path}});
        return std::nullopt;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (!document.isObject()) {
        if (error) {
            *error =
                Error(ErrorDomain, 2,
                      {{ErrorDescriptionKey, path + " is not a JSON object: " + parseError.errorString()}});
        }
        return std::nullopt;
    }
    return document.object().toVariantMap();
}

QString Bundle::pathForResource(const QString& name, const QString& extension) {
    const QString path = QStringLiteral(":/") + name + (extension.isEmpty() ? QString() : "." + extension);
    return QFile::exists(path) ? path : QString();
}

}  // namespace tovrin
