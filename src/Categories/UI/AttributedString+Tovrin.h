#pragma once

#include <QColor>
#include <QString>

#include "platform/ui/text/AttributedString.h"

namespace tovrin {

// The text with only a foreground colour over all of it.
ui::AttributedString tvr_attributedString(const QString& text, const QColor& color);
// The text in the placeholder colour of the account forms.
ui::AttributedString tvr_attributedPlaceholder(const QString& text);

}  // namespace tovrin
