#pragma once

#include <QByteArray>
#include <QJsonValue>
#include <optional>

#include "platform/foundation/Error.h"

namespace tovrin::JSON {

inline const QString ErrorDomain = QStringLiteral("JSONErrorDomain");

// Parses a JSON text. Only an object or an array unless fragments are allowed, in which case any
// value (a string, a number, true, false, null) may stand alone.
std::optional<QJsonValue> parse(const QByteArray& data, bool allowFragments = false, Error* error = nullptr);

// The compact text of a value.
QByteArray serialize(const QJsonValue& value);

}  // namespace tovrin::JSON
