#include "UserInterface/ConsistentHeightLabel.h"

namespace tovrin {

QRectF ConsistentHeightLabel::textRectForBounds(const QRectF& bounds, int numberOfLines) const {
    if (!text().isEmpty()) return ui::Label::textRectForBounds(bounds, numberOfLines);
    // Measured with one space; the text itself (null or empty) is left as it was.
    ui::Label measuring;
    measuring.setFont(font());
    measuring.setText(QStringLiteral(" "));
    return measuring.textRectForBounds(bounds, numberOfLines);
}

}  // namespace tovrin
