#pragma once

#include <QString>

namespace tovrin {

// A new random (version 4) UUID: 36 characters, upper-case hexadecimal digits in groups of
// 8, 4, 4, 4 and 12 joined by hyphens.
QString makeUUIDString();

// Whether the text is a UUID in that form (either case).
bool isUUIDString(const QString& text);

}  // namespace tovrin
