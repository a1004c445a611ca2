#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <optional>

namespace tovrin::net {

// Header fields in the order they were set. Names compare without regard to case.
using HTTPHeaderFields = QList<QPair<QString, QString>>;

std::optional<QString> valueForHTTPHeaderField(const HTTPHeaderFields& fields, const QString& field);
// Replaces the field's earlier value, or appends the field.
void setValueForHTTPHeaderField(HTTPHeaderFields& fields, const QString& value, const QString& field);

}  // namespace tovrin::net
