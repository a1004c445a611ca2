#pragma once

#include <QString>

namespace tovrin {

// The error body of a 4xx answer: the service's own code and message. Immutable.
class ErrorMessage {
public:
    ErrorMessage(quint64 code, QString message) : code_(code), message_(std::move(message)) {}

    quint64 code() const { return code_; }
    const QString& message() const { return message_; }

private:
    quint64 code_;
    QString message_;
};

}  // namespace tovrin
