#include "sandbox/http/HTTPReply.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace tovrin::sandbox {

HTTPReply HTTPReply::json(const QJsonValue& value, int status) {
    const QJsonDocument document =
        value.isArray() ? QJsonDocument(value.toArray()) : QJsonDocument(value.toObject());
    return {status, "application/json", document.toJson(QJsonDocument::Compact)};
}

HTTPReply HTTPReply::html(const QString& title, const QString& bodyHTML, int status) {
    const QString page = QStringLiteral(
                             "<!DOCTYPE html><html><head><meta charset=\"utf-8\">"
                             "<meta name=\"viewport\" content=\"width=device-width\"><title>%1</title></head>"
                             "<body style=\"font-family: sans-serif; margin: 16px\">%2</body></html>")
                             .arg(title.toHtmlEscaped(), bodyHTML);
    return {status, "text/html; charset=utf-8", page.toUtf8()};
}

HTTPReply HTTPReply::jpeg(QByteArray data) {
    return {200, "image/jpeg", std::move(data)};
}

}  // namespace tovrin::sandbox
