#include "UserInterface/TovrinLabel.h"

#include <QPainter>

namespace tovrin {

ui::TextShadow TovrinLabel::textShadow() {
    return ui::TextShadow{QPointF(0, 1), 4, QColor::fromRgbF(0, 0, 0, 0.8f)};
}

void TovrinLabel::drawTextInRect(QPainter& painter, const QRectF& rect) {
    painter.save();
    drawText(painter, rect, textShadow());
    painter.restore();
}

}  // namespace tovrin
