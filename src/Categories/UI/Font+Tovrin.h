#pragma once

#include <QFont>
#include <QString>

namespace tovrin {

// The typeface faces that screens name ("DINOT", "DINOT-Medium", "DINOT-Bold", "DIN OT"), made
// known to the platform's font registry. They map to Roboto Condensed in the weights of a similar
// cut, bundled from Debian's font package as resources. Registering again does nothing.
void registerTovrinTypefaces();

// A face by name at a size in points, after making sure the faces are registered.
QFont tovrinFont(const QString& faceName, double size);

}  // namespace tovrin
