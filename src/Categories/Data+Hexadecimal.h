#pragma once

#include <QByteArray>
#include <QString>

namespace tovrin {

// Every byte in order as two lower-case hexadecimal digits ("00ab0f"); empty for no bytes.
QString hexadecimalString(const QByteArray& data);

}  // namespace tovrin
