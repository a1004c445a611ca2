#include "platform/foundation/KeyedArchiver.h"

#include <QJsonDocument>

namespace tovrin::KeyedArchiver {

namespace {

const QString ClassKey = QStringLiteral("$class");
const QString ValuesKey = QStringLiteral("$values");

}  // namespace

QByteArray archivedData(const QString& className, const QJsonObject& values) {
    return QJsonDocument(QJsonObject{{ClassKey, className}, {ValuesKey, values}})
        .toJson(QJsonDocument::Compact);
}

std::optional<QJsonObject> unarchivedValues(const QByteArray& data, const QString& className) {
    const QJsonDocument document = QJsonDocument::fromJson(data);
    const QJsonObject archive = document.object();
    if (!document.isObject() || archive.value(ClassKey).toString() != className) return std::nullopt;
    const QJsonValue values = archive.value(ValuesKey);
    if (!values.isObject()) return std::nullopt;
    return values.toObject();
}

}  // namespace tovrin::KeyedArchiver
