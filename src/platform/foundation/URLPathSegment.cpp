#include "platform/foundation/URLPathSegment.h"

#include <QUrl>

namespace tovrin {

std::optional<QString> URLPathSegment(const QString& value) {
    if (value.isEmpty() || value == QLatin1String(".") || value == QLatin1String("..")) return std::nullopt;
    return QString::fromLatin1(QUrl::toPercentEncoding(value));
}

std::optional<QString> URLPathByAppendingSegment(const QString& encodedPath, const QString& value) {
    const std::optional<QString> segment = URLPathSegment(value);
    if (!segment) return std::nullopt;
    return encodedPath.endsWith(QLatin1Char('/')) ? encodedPath + *segment
                                                  : encodedPath + QLatin1Char('/') + *segment;
}

}  // namespace tovrin
