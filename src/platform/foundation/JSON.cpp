#include "platform/foundation/JSON.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace tovrin::JSON {

std::optional<QJsonValue> parse(const QByteArray& data, bool allowFragments, Error* error) {
    QJsonParseError parseError;
    // Qt parses only documents; a fragment is read as the only element of an array.
    const QByteArray text = allowFragments ? "[" + data + "]" : data;
    const QJsonDocument document = QJsonDocument::fromJson(text, &parseError);
    if (parseError.error == QJsonParseError::NoError) {
        if (allowFragments) {
            const QJsonArray wrapper = document.array();
            if (wrapper.size() == 1) return wrapper.first();
        } else if (document.isObject()) {
            return QJsonValue(document.object());
        } else if (document.isArray()) {
            return QJsonValue(document.array());
        }
    }
    if (error) {
        *error = Error(ErrorDomain, 1,
                       {{ErrorDescriptionKey, parseError.error == QJsonParseError::NoError
                                                  ? QStringLiteral("not a single JSON value")
                                                  : parseError.errorString()}});
    }
    return std::nullopt;
}

QByteArray serialize(const QJsonValue& value) {
    if (value.isObject()) return QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact);
    if (value.isArray()) return QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact);
    QByteArray wrapped = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return wrapped.mid(1, wrapped.size() - 2);
}

}  // namespace tovrin::JSON
