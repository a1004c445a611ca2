#pragma once

#include <QString>

namespace tovrin {

// A user-visible text in the current language; the English text is the key and the fallback.
QString localizedString(const char* englishText);

}  // namespace tovrin
