#include "Categories/Data+Hexadecimal.h"

namespace tovrin {

QString hexadecimalString(const QByteArray& data) {
    return QString::fromLatin1(data.toHex());
}

}  // namespace tovrin
