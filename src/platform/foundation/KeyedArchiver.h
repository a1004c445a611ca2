#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <optional>

namespace tovrin {

// An object's keyed values together with its class name, as bytes: what stored objects (keychain
// items) hold. Reading checks the class, so bytes of another kind read as nothing.
namespace KeyedArchiver {

QByteArray archivedData(const QString& className, const QJsonObject& values);
std::optional<QJsonObject> unarchivedValues(const QByteArray& data, const QString& className);

}  // namespace KeyedArchiver

// A value type that can be archived: `encodeWithCoder()` gives its keyed values and
// `decodeWithCoder(values)` makes it again, or nothing when the values do not describe one.
template <class T>
concept Archivable = requires(const T& object, const QJsonObject& values) {
    { T::ArchiveClassName } -> std::convertible_to<QString>;
    { object.encodeWithCoder() } -> std::same_as<QJsonObject>;
    { T::decodeWithCoder(values) } -> std::same_as<std::optional<T>>;
};

}  // namespace tovrin
