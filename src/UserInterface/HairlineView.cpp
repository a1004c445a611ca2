#include "UserInterface/HairlineView.h"

#include <QPainter>

#include "platform/system/Screen.h"

namespace tovrin {

HairlineView::HairlineView(QWidget* parent) : HairlineView(Screen::main(), parent) {}

HairlineView::HairlineView(std::shared_ptr<tovrin::Screen> screen, QWidget* parent)
    : View(parent), screen_(std::move(screen)) {
    setBackgroundColor(Qt::transparent);
}

double HairlineView::pixel() const {
    return 1.0 / screen_->scale();
}

QSizeF HairlineView::intrinsicContentSize() const {
    return QSizeF(0, pixel());
}

void HairlineView::drawRect(QPainter& painter, const QRectF& rect) {
    // Centred on the top edge, so half the pen lies outside: without smoothing the visible half
    // still fills the first pixel row, crisp instead of half-tone.
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(tintColor(), pixel());
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    painter.drawLine(QPointF(0, 0), QPointF(rect.width(), 0));
    painter.restore();
}

}  // namespace tovrin
