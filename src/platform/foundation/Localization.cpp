#include "platform/foundation/Localization.h"

#include <QCoreApplication>

namespace tovrin {

QString localizedString(const char* englishText) {
    return QCoreApplication::translate("Localizable", englishText);
}

}  // namespace tovrin
