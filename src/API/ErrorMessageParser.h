#pragma once

#include <QByteArray>
#include <QJsonValue>
#include <optional>

#include "API/ErrorMessage.h"

namespace tovrin {

// Reads the error body {"code", "message"} that the service sends with a 4xx answer. Stateless.
class ErrorMessageParser {
public:
    virtual ~ErrorMessageParser() = default;

    // Nothing for no data, text that is not a JSON object or array, an incomplete body, or a "code"
    // that is neither a whole number nor a text holding one.
    std::optional<ErrorMessage> errorMessageFromData(const QByteArray& data) const;
    // An object with both "code" and "message" (JSON null counts as present).
    bool isValidErrorMessageDictionary(const QJsonValue& value) const;
};

}  // namespace tovrin
