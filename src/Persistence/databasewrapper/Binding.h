#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <optional>
#include <variant>

#include "platform/foundation/Date.h"

struct sqlite3_stmt;

namespace tovrin {

// A value that binds itself to a statement parameter: text, blob, integer, floating point, a date
// (fractional seconds since 1970) or NULL. Every integer binds as a 64-bit integer, so no unsigned
// value is stored as a negative number; an unsigned value beyond the signed range binds as a real,
// as SQLite stores such literals. A type without a binding does not compile.
class Binding {
public:
    Binding() = default;  // NULL
    Binding(std::nullptr_t) {}
    Binding(const QString& text) : value_(text) {}
    Binding(const char* text) : value_(QString::fromUtf8(text)) {}
    Binding(const QByteArray& blob) : value_(blob) {}
    Binding(bool value) : value_(qint64(value ? 1 : 0)) {}
    Binding(int value) : value_(qint64(value)) {}
    Binding(unsigned value) : value_(qint64(value)) {}
    Binding(long value) : value_(qint64(value)) {}
    Binding(long long value) : value_(qint64(value)) {}
    Binding(unsigned long value) : Binding(static_cast<unsigned long long>(value)) {}
    Binding(unsigned long long value);
    Binding(float value) : value_(double(value)) {}
    Binding(double value) : value_(value) {}
    Binding(Date date) : value_(date.timeIntervalSince1970()) {}
    template <class T>
    Binding(const std::optional<T>& value) : Binding(value ? Binding(*value) : Binding()) {}
    template <class T>
    Binding(const T&) = delete;

    // The SQLite result code of the bind (0 on success). Text and blobs are copied by SQLite.
    int tvr_bindToStatement(sqlite3_stmt* statement, int bindPosition) const;

    bool isNull() const { return std::holds_alternative<std::monostate>(value_); }

private:
    std::variant<std::monostate, qint64, double, QString, QByteArray> value_;
};

}  // namespace tovrin
