#include "Authentication/EmailValidation.h"

#include "platform/foundation/Localization.h"

namespace tovrin {

QString emailValidationError(const QString& email) {
    if (email.isEmpty()) return localizedString("Field cannot be blank");
    if (email.contains(QLatin1Char(' '))) return localizedString("invalid email");
    const QStringList parts = email.split(QLatin1Char('@'));
    if (parts.size() != 2 || parts[0].isEmpty() || parts[1].isEmpty())
        return localizedString("invalid email");
    return QString();
}

}  // namespace tovrin
