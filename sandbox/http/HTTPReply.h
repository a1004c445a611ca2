#pragma once

#include <QByteArray>
#include <QJsonValue>
#include <QString>

namespace tovrin::sandbox {

// What a sandbox host answers: a status and a body of a content type.
struct HTTPReply {
    int status = 200;
    QByteArray contentType;
    QByteArray body;

    static HTTPReply json(const QJsonValue& value, int status = 200);
    static HTTPReply html(const QString& title, const QString& bodyHTML, int status = 200);
    static HTTPReply jpeg(QByteArray data);
};

}  // namespace tovrin::sandbox
