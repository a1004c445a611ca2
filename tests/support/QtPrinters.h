#pragma once

// Readable Qt values in test failure messages. Included into every test source by the build, so
// that every translation unit prints them the same way.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariant>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList& texts, std::ostream* out) {
    *out << '[' << texts.join(QStringLiteral(", ")).toStdString() << ']';
}

inline void PrintTo(const QByteArray& bytes, std::ostream* out) {
    *out << "QByteArray(\"" << bytes.toStdString() << "\")";
}

inline void PrintTo(const QUrl& url, std::ostream* out) {
    *out << "QUrl(" << url.toString().toStdString() << ")";
}

inline void PrintTo(const QVariant& value, std::ostream* out) {
    *out << "QVariant(" << value.typeName() << ": " << value.toString().toStdString() << ")";
}
