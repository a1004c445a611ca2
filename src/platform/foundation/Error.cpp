#include "platform/foundation/Error.h"

#include <cstdio>
#include <cstdlib>

namespace tovrin {

Error::Error(QString domain, qint64 code, QVariantMap userInfo)
    : domain_(std::move(domain)), code_(code), userInfo_(std::move(userInfo)) {}

QString Error::description() const {
    QString text = QStringLiteral("%1 error %2").arg(domain_).arg(code_);
    const QString detail = userInfo_.value(ErrorDescriptionKey).toString();
    if (!detail.isEmpty()) text += QStringLiteral(": ") + detail;
    return text;
}

void fatalError(const char* file, int line, const QString& message) {
    std::fprintf(stderr, "Fatal error at %s:%d: %s\n", file, line, qUtf8Printable(message));
    std::fflush(stderr);
    std::abort();
}

}  // namespace tovrin
