#include "platform/foundation/UUID.h"

#include <QUuid>

namespace tovrin {

QString makeUUIDString() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}

bool isUUIDString(const QString& text) {
    return text.size() == 36 && !QUuid::fromString(text).isNull();
}

}  // namespace tovrin
