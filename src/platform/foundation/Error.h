#pragma once

#include <QString>
#include <QVariantMap>

namespace tovrin {

// A runtime failure as a value: a domain, a code within it and optional details.
class Error {
public:
    Error() = default;
    Error(QString domain, qint64 code, QVariantMap userInfo = {});

    const QString& domain() const { return domain_; }
    qint64 code() const { return code_; }
    const QVariantMap& userInfo() const { return userInfo_; }

    bool is(const QString& domain, qint64 code) const { return domain_ == domain && code_ == code; }
    QString description() const;

    friend bool operator==(const Error& a, const Error& b) {
        return a.domain_ == b.domain_ && a.code_ == b.code_ && a.userInfo_ == b.userInfo_;
    }

private:
    QString domain_;
    qint64 code_ = 0;
    QVariantMap userInfo_;
};

// Key of a human-readable explanation in an error's user info.
inline const QString ErrorDescriptionKey = QStringLiteral("NSLocalizedDescription");

[[noreturn]] void fatalError(const char* file, int line, const QString& message);

}  // namespace tovrin

// Programming errors stop the process, in every build.
#define TVR_FATAL(message) ::tovrin::fatalError(__FILE__, __LINE__, QString(message))
#define TVR_ASSERT(condition, message)                                                \
    do {                                                                              \
        if (!(condition)) ::tovrin::fatalError(__FILE__, __LINE__, QString(message)); \
    } while (false)
