#include "API/ErrorMessageParser.h"

#include <QJsonObject>
#include <cmath>

#include "platform/foundation/JSON.h"

namespace tovrin {

namespace {

std::optional<quint64> codeFromValue(const QJsonValue& value) {
    if (value.isDouble()) {
        const double number = value.toDouble();
        if (!(number >= 0) || number > 9007199254740992.0) return std::nullopt;
        return static_cast<quint64>(std::trunc(number));
    }
    if (value.isString()) {
        bool ok = false;
        const quint64 code = value.toString().trimmed().toULongLong(&ok);
        if (ok) return code;
    }
    return std::nullopt;
}

}  // namespace

std::optional<ErrorMessage> ErrorMessageParser::errorMessageFromData(const QByteArray& data) const {
    if (data.isEmpty()) return std::nullopt;
    const std::optional<QJsonValue> json = JSON::parse(data);
    if (!json || !isValidErrorMessageDictionary(*json)) return std::nullopt;
    const QJsonObject object = json->toObject();
    const std::optional<quint64> code = codeFromValue(object.value("code"));
    if (!code) return std::nullopt;
    return ErrorMessage(*code, object.value("message").toString());
}

bool ErrorMessageParser::isValidErrorMessageDictionary(const QJsonValue& value) const {
    if (!value.isObject()) return false;
    const QJsonObject object = value.toObject();
    return object.contains("code") && object.contains("message");
}

}  // namespace tovrin
