#include "Persistence/databasewrapper/Binding.h"

#include <sqlite3.h>

#include <limits>

namespace tovrin {

Binding::Binding(unsigned long long value) {
    if (value <= static_cast<unsigned long long>(std::numeric_limits<qint64>::max())) {
        value_ = static_cast<qint64>(value);
    } else {
        value_ = static_cast<double>(value);
    }
}

int Binding::tvr_bindToStatement(sqlite3_stmt* statement, int bindPosition) const {
    return std::visit(
        [&](const auto& value) -> int {
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, std::monostate>) {
                return sqlite3_bind_null(statement, bindPosition);
            } else if constexpr (std::is_same_v<T, qint64>) {
                return sqlite3_bind_int64(statement, bindPosition, value);
            } else if constexpr (std::is_same_v<T, double>) {
                return sqlite3_bind_double(statement, bindPosition, value);
            } else if constexpr (std::is_same_v<T, QString>) {
                const QByteArray utf8 = value.toUtf8();
                return sqlite3_bind_text64(statement, bindPosition, utf8.constData(), utf8.size(),
                                           SQLITE_TRANSIENT, SQLITE_UTF8);
            } else {
                return sqlite3_bind_blob64(statement, bindPosition, value.constData(), value.size(),
                                           SQLITE_TRANSIENT);
            }
        },
        value_);
}

}  // namespace tovrin
