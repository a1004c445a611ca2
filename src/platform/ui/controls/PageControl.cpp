#include "platform/ui/controls/PageControl.h"

#include <QPainter>

namespace tovrin::ui {

void PageControl::setNumberOfPages(int pages) {
    numberOfPages_ = std::max(0, pages);
    currentPage_ = std::clamp(currentPage_, 0, std::max(0, numberOfPages_ - 1));
    updateHidden();
    update();
}

void PageControl::setCurrentPage(int page) {
    currentPage_ = std::clamp(page, 0, std::max(0, numberOfPages_ - 1));
    update();
}

void PageControl::setHidesForSinglePage(bool hides) {
    hidesForSinglePage_ = hides;
    updateHidden();
}

void PageControl::updateHidden() {
    setHidden(hidesForSinglePage_ && numberOfPages_ <= 1);
}

void PageControl::setPageIndicatorTintColor(const QColor& color) {
    pageTint_ = color;
    update();
}

void PageControl::setCurrentPageIndicatorTintColor(const QColor& color) {
    currentTint_ = color;
    update();
}

void PageControl::endTracking(const QPointF& location) {
    if (numberOfPages_ < 2 || !bounds().contains(location)) return;
    const int page = location.x() < bounds().center().x() ? currentPage_ - 1 : currentPage_ + 1;
    if (page < 0 || page >= numberOfPages_) return;
    currentPage_ = page;
    update();
    sendActionsForControlEvents(ValueChanged);
}

void PageControl::drawRect(QPainter& painter, const QRectF& rect) {
    const double width = sizeForNumberOfPages(numberOfPages_).width();
    double x = rect.center().x() - width / 2 + 4.5;
    painter.setPen(Qt::NoPen);
    for (int page = 0; page < numberOfPages_; ++page) {
        painter.setBrush(page == currentPage_ ? currentTint_ : pageTint_);
        painter.drawEllipse(QRectF(x, rect.center().y() - 3.5, 7, 7));
        x += 16;
    }
}

}  // namespace tovrin::ui
