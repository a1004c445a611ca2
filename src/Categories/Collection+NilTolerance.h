#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QVariantMap>
#include <memory>
#include <optional>
#include <vector>

namespace tovrin {

// The value for the key, or nothing when there is none or it is JSON null.
inline std::optional<QJsonValue> objectOrNilForKey(const QJsonObject& object, const QString& key) {
    const QJsonValue value = object.value(key);
    if (value.isUndefined() || value.isNull()) return std::nullopt;
    return value;
}

// The value for the key, or an invalid QVariant when there is none or it is null.
inline QVariant objectOrNilForKey(const QVariantMap& map, const QString& key) {
    const QVariant value = map.value(key);
    if (!value.isValid() || value.isNull()) return {};
    return value;
}

// The value, or JSON null when it is absent: writers pass every optional value through it.
template <class T>
QJsonValue objectOrNSNull(const std::optional<T>& value) {
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

template <class T>
void addObjectIfNotNil(std::vector<std::shared_ptr<T>>& array, std::shared_ptr<T> object) {
    if (object) array.push_back(std::move(object));
}

template <class T>
void addObjectIfNotNil(std::vector<T>& array, std::optional<T> object) {
    if (object) array.push_back(std::move(*object));
}

}  // namespace tovrin
