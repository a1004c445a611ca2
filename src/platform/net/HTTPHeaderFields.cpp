#include "platform/net/HTTPHeaderFields.h"

namespace tovrin::net {

std::optional<QString> valueForHTTPHeaderField(const HTTPHeaderFields& fields, const QString& field) {
    for (const auto& [name, value] : fields) {
        if (name.compare(field, Qt::CaseInsensitive) == 0) return value;
    }
    return std::nullopt;
}

void setValueForHTTPHeaderField(HTTPHeaderFields& fields, const QString& value, const QString& field) {
    for (auto& entry : fields) {
        if (entry.first.compare(field, Qt::CaseInsensitive) == 0) {
            entry.second = value;
            return;
        }
    }
    fields.append({field, value});
}

}  // namespace tovrin::net
