#pragma once

#include <QString>
#include <QVariantMap>
#include <memory>
#include <mutex>
#include <optional>

#include "platform/foundation/Error.h"

namespace tovrin {

// The application's information dictionary and resources. The main bundle reads ":/Info.json"
// from the resources linked into the program; overrides merge over it before first use.
class Bundle {
public:
    explicit Bundle(QVariantMap infoDictionary);

    static std::shared_ptr<Bundle> main();

    QVariantMap infoDictionary() const;
    QVariant objectForInfoDictionaryKey(const QString& key) const;
    QString bundleIdentifier() const;

    // Merges the given entries over the dictionary, key by key.
    void mergeInfoDictionary(const QVariantMap& overrides);

    // Reads a JSON object file; nothing (and the error) when it is missing or not an object.
    static std::optional<QVariantMap> readInfoDictionary(const QString& path, Error* error = nullptr);

    // The path of a bundled resource, or an empty text when there is none.
    static QString pathForResource(const QString& name, const QString& extension);

private:
    mutable std::mutex mutex_;
    QVariantMap infoDictionary_;
};

}  // namespace tovrin
